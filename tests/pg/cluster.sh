#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the tests of one build folder:
#   cluster.sh start BUILD_DIR   initdb into a fresh folder under /tmp, start the
#                                server on a Unix socket only (no TCP), and write
#                                the socket folder to BUILD_DIR/pg/socket-dir
#   cluster.sh stop BUILD_DIR    stop it at once and remove its folder
#   cluster.sh restart BUILD_DIR stop it at once (as a crash would: pg_ctl -m
#                                immediate) and start the same data folder on
#                                the same socket folder again
# The server runs as the postgres user when we are root (it refuses root),
# otherwise as the current user. Exits 77 (ctest's skip code) when the
# PostgreSQL server binaries are not installed.
set -euo pipefail

action=${1:-}
build=${2:-}
if [ -z "$action" ] || [ -z "$build" ]; then
  echo "usage: $0 start|stop|restart BUILD_DIR" >&2
  exit 2
fi
state=$build/pg
socket_file=$state/socket-dir

find_bindir() {
  local dir
  for dir in ${FABRIKON_PG_BINDIR:-} /usr/lib/postgresql/*/bin; do
    if [ -x "$dir/initdb" ] && [ -x "$dir/pg_ctl" ]; then echo "$dir"; return 0; fi
  done
  dir=$(dirname "$(command -v pg_ctl 2>/dev/null || echo /nonexistent/x)")
  if [ -x "$dir/initdb" ] && [ -x "$dir/pg_ctl" ]; then echo "$dir"; return 0; fi
  return 1
}

# Runs a server program as the cluster's owner.
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

# Starts the server of the cluster in folder $2 on its socket folder. No
# fsync (the machine does not crash under a test), but every commit is in
# the WAL before the client hears of it, so a server stopped at once keeps
# what it reported as committed (the restart test relies on that).
run_server() {
  local bindir=$1 folder=$2
  if ! as_owner "$bindir/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 60 start \
      -o "-c listen_addresses='' -c unix_socket_directories=$folder -c fsync=off -c full_page_writes=off -c max_connections=200" \
      >/dev/null; then
    cat "$folder/server.log" >&2
    return 1
  fi
}

start() {
  local bindir folder
  # A cluster left by an interrupted run of this build folder goes first.
  if [ -f "$socket_file" ]; then stop; fi
  if ! bindir=$(find_bindir); then
    echo "PostgreSQL server binaries not found (Debian: postgresql-15): skipping the pg tests" >&2
    exit 77
  fi
  mkdir -p "$state"
  # Short and under /tmp: a Unix socket path is limited to 107 bytes.
  folder=$(mktemp -d /tmp/fkpg.XXXXXX)
  chmod 755 "$folder"
  if [ "$(id -u)" -eq 0 ]; then chown postgres: "$folder"; fi
  if ! as_owner "$bindir/initdb" -D "$folder/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 --no-sync \
      >"$folder/initdb.log" 2>&1; then
    cat "$folder/initdb.log" >&2
    rm -rf "$folder"
    exit 1
  fi
  if ! run_server "$bindir" "$folder"; then
    rm -rf "$folder"
    exit 1
  fi
  echo "$folder" >"$socket_file"
  echo "PostgreSQL $("$bindir/postgres" --version | awk '{print $3}') on socket folder $folder"
}

stop() {
  local bindir folder
  [ -f "$socket_file" ] || return 0
  folder=$(cat "$socket_file")
  rm -f "$socket_file"
  case $folder in /tmp/fkpg.*) ;; *) echo "not ours: $folder" >&2; return 1 ;; esac
  if [ -d "$folder/data" ] && bindir=$(find_bindir); then
    as_owner "$bindir/pg_ctl" -D "$folder/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$folder"
  echo "stopped and removed $folder"
}

restart() {
  local bindir folder
  folder=$(cat "$socket_file")
  case $folder in /tmp/fkpg.*) ;; *) echo "not ours: $folder" >&2; return 1 ;; esac
  bindir=$(find_bindir)
  as_owner "$bindir/pg_ctl" -D "$folder/data" -m immediate -w stop >/dev/null
  run_server "$bindir" "$folder"
}

case $action in
  start) start ;;
  restart) restart ;;
  stop) stop ;;
  *) echo "usage: $0 start|stop|restart BUILD_DIR" >&2; exit 2 ;;
esac
