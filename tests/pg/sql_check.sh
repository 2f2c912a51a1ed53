#!/bin/sh
# Runs a psql check script (ON_ERROR_STOP: the first failure fails) on a fresh
# database of the tests' cluster holding the PostgreSQL runtime
# (schema/pg/runtime.sql), dropped afterwards.
#   usage: tests/pg/sql_check.sh BUILD_DIR SCRIPT
# The cluster is the one the ctest fixture pg:start wrote to BUILD_DIR/pg/socket-dir.
set -eu
[ $# -eq 2 ] || { echo "usage: $0 BUILD_DIR SCRIPT" >&2; exit 2; }
PGHOST=$(cat "$1/pg/socket-dir")
export PGHOST PGUSER=postgres
schema=$(cd "$(dirname "$0")/../../schema/pg" && pwd)
db=fabrikon_sql_check_$$
createdb "$db"
trap 'dropdb --if-exists "$db"' EXIT
psql -X -q -v ON_ERROR_STOP=1 -d "$db" -f "$schema/runtime.sql" -f "$2"
