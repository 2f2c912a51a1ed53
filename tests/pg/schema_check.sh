#!/bin/sh
# Checks the PostgreSQL host schema (schema/pg/) on a running cluster:
#  1. a new database gets the types, the runtime, the schema scripts 001...
#     and the demo plant, in the order the library embeds them (the types
#     twice: they are run on every create and upgrade);
#  2. a second database gets every schema script but the last before the demo
#     plant, then the last one, as an older database is brought up to date;
# and each view of both must have the rows of view_counts.txt.
# With BUILD_DIR (a build holding fabrikon and libfabrikon_tsql.so) and the
# sqlite3 shell, every view and table of the first database is compared, row
# for row, with the embedded demo database (compare_with_embedded.py).
#
# usage: tests/pg/schema_check.sh SOCKET_DIR [BUILD_DIR]
# The cluster's superuser is PGUSER (default postgres); both databases are
# dropped at the end.
set -eu
[ $# -ge 1 ] || { echo "usage: $0 SOCKET_DIR [BUILD_DIR]" >&2; exit 2; }
export PGHOST="$1" PGUSER="${PGUSER:-postgres}"
here=$(cd "$(dirname "$0")" && pwd)
schema=$(cd "$here/../../schema" && pwd)
build="${2:-}"
fresh=fabrikon_schema_check_$$
upgraded=fabrikon_schema_upgrade_$$
work=$(mktemp -d)
cleanup() {
  dropdb --if-exists "$fresh" >/dev/null 2>&1 || true
  dropdb --if-exists "$upgraded" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

run() {  # database, script
  psql -X -q -v ON_ERROR_STOP=1 -d "$1" -f "$2" >"$work/out" 2>&1 ||
    { echo "FAIL: $2 on $1:"; cat "$work/out"; exit 1; }
}
runtime() {  # database: the runtime functions, or the views' stand-ins
  if [ -f "$schema/pg/runtime.sql" ]; then run "$1" "$schema/pg/runtime.sql"
  else run "$1" "$here/rowversion_standins.sql"; fi
}
demo() {  # database: schema/demo/ with schema/pg/demo/ in place of same names
  for name in $( (ls "$schema/demo"; ls "$schema/pg/demo") | grep '\.sql$' | sort -u); do
    if [ -f "$schema/pg/demo/$name" ]; then run "$1" "$schema/pg/demo/$name"
    else run "$1" "$schema/demo/$name"; fi
  done
}
check_counts() {  # database
  bad=0
  grep -v '^#' "$here/view_counts.txt" | while read -r view want; do
    got=$(psql -X -At -d "$1" -c "SELECT count(*) FROM $view" 2>&1) || got="error: $got"
    if [ "$got" != "$want" ]; then echo "FAIL: $1: $view has $got rows, expected $want"; echo x >>"$work/bad"; fi
  done
  views=$(psql -X -At -d "$1" -c "SELECT count(*) FROM information_schema.views WHERE table_schema = 'public'")
  recorded=$(grep -vc '^#' "$here/view_counts.txt")
  [ "$views" = "$recorded" ] || { echo "FAIL: $1 has $views views, view_counts.txt $recorded"; echo x >>"$work/bad"; }
}

versions=$(ls "$schema/pg" | grep -E '^[0-9]+_.*\.sql$' | grep -v '^000_' | sort)
last=$(echo "$versions" | tail -n 1)

createdb "$fresh"
run "$fresh" "$schema/pg/000_types.sql"
run "$fresh" "$schema/pg/000_types.sql"
runtime "$fresh"
for s in $versions; do run "$fresh" "$schema/pg/$s"; done
demo "$fresh"
check_counts "$fresh"

createdb "$upgraded"
run "$upgraded" "$schema/pg/000_types.sql"
runtime "$upgraded"
for s in $versions; do [ "$s" = "$last" ] || run "$upgraded" "$schema/pg/$s"; done
demo "$upgraded"
run "$upgraded" "$schema/pg/000_types.sql"
runtime "$upgraded"
run "$upgraded" "$schema/pg/$last"
check_counts "$upgraded"

if [ -n "$build" ] && command -v sqlite3 >/dev/null 2>&1; then
  "$build/fabrikon" init-db "$work/demo.db" --demo >/dev/null
  python3 "$here/compare_with_embedded.py" "$work/demo.db" "$build/libfabrikon_tsql.so" "$fresh" ||
    echo x >>"$work/bad"
fi

if [ -s "$work/bad" ] 2>/dev/null; then echo "schema check: FAILED"; exit 1; fi
echo "schema check: ok"
