#!/usr/bin/env bash
# run-all.sh [PREFIX]: builds every example against the installed library
# (the system's, or the one installed or unpacked under PREFIX, e.g. DIR/usr
# of `dpkg-deb -x fabrikon_*.deb DIR`), warnings as errors, and runs each on a
# fresh demo database made by the installed `fabrikon init-db --demo`. An
# example passes when it exits 0 and prints the lines expected of it (its
# approval answer and its last line). The outsourcing examples must also
# fail, with status 1 and the check's message, where a check refuses (a
# vendor missing from the database). The Python example runs when the
# checkout has its package (python/fabrikon), with the checkout's package over
# the installed library, by $PYTHON (default python3). Exits 1 when anything
# failed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$here")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ $# -gt 0 ] && [ -n "$1" ]; then
  prefix=$(realpath "$1")
  multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || gcc -print-multiarch)
  libdir="$prefix/lib/$multiarch"
  [ -d "$libdir" ] || libdir="$prefix/lib"
  export CMAKE_PREFIX_PATH="$prefix" LD_LIBRARY_PATH="$libdir${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
  cli="$prefix/bin/fabrikon"
else
  libdir=""
  cli=$(command -v fabrikon) || { echo "run-all: no fabrikon on PATH (pass the install prefix)" >&2; exit 1; }
fi

flags="-Wall -Wextra -Werror"
if ! cmake -S "$here" -B "$work/build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS="$flags" \
  -DCMAKE_CXX_FLAGS="$flags" >"$work/build.log" 2>&1 ||
  ! cmake --build "$work/build" -j"$(nproc)" >>"$work/build.log" 2>&1; then
  cat "$work/build.log" >&2
  echo "run-all: the examples do not build" >&2
  exit 1
fi

failed=0

fresh_database() {  # fresh_database NAME: prints the path of a new demo database
  local db="$work/$1-$RANDOM.db"
  "$cli" init-db "$db" --demo >/dev/null
  echo "$db"
}

# run NAME EXPECTED_LINE LAST_LINE COMMAND...: the command runs on a fresh
# demo database (its last argument); LAST_LINE "" checks no last line.
run() {
  local name=$1 expected=$2 last=$3 db output status=0
  shift 3
  db=$(fresh_database "$name")
  output=$("$@" "$db" 2>&1) || status=$?
  if [ $status -ne 0 ]; then
    echo "run-all: $name exited with status $status:" >&2
  elif ! grep -qF -- "$expected" <<<"$output"; then
    echo "run-all: $name did not print \"$expected\":" >&2
    status=1
  elif [ -n "$last" ] && [ "$(tail -n 1 <<<"$output")" != "$last" ]; then
    echo "run-all: $name did not end with \"$last\":" >&2
    status=1
  fi
  if [ $status -ne 0 ]; then
    sed 's/^/  | /' <<<"$output" >&2
    failed=1
  else
    echo "run-all: $name ok ($(wc -l <<<"$output") lines)"
  fi
}

# must_fail NAME MESSAGE COMMAND...: the command, on a demo database without
# the vendor the example enters, must exit 1 and say why.
must_fail() {
  local name=$1 message=$2 db output status=0
  shift 2
  db=$(fresh_database "$name")
  "$cli" sql "$db" "DELETE FROM vendor WHERE cvencode='V002'" >/dev/null
  output=$("$@" "$db" 2>&1) || status=$?
  if [ $status -ne 1 ] || ! grep -qF -- "$message" <<<"$output"; then
    echo "run-all: $name without its vendor exited with status $status, without \"$message\":" >&2
    sed 's/^/  | /' <<<"$output" >&2
    failed=1
  else
    echo "run-all: $name without its vendor fails as it should"
  fi
}

bin="$work/build"
outsourcing_done="done: outsourcing order WW000004 saved, approved, closed and reopened"
run outsourcing 'VoucherConfirm => "委外订单[4]审核成功！"' "$outsourcing_done" "$bin/outsourcing"
run production_order 'VoucherConfirm => "生产订单[5]审核成功！"' \
  "done: production order SC000005 saved, approved, closed, reopened and deleted" "$bin/production_order"
run dispatch_order 'VoucherConfirm => "进度完工汇报单[JD000004]审核成功！"' \
  "done: dispatch order PG000005 approved, reported by JD000004 and closed" "$bin/dispatch_order"
run forecast 'VoucherConfirm => "预测单[0000000003]审核成功！"' \
  "done: forecast 0000000003 saved, approved, closed and reopened" "$bin/forecast"
run outsourcing_c 'VoucherConfirm => "委外订单[4]审核成功！"' "$outsourcing_done" "$bin/outsourcing_c"
must_fail outsourcing "failed: HeadCheck cvencode answered" "$bin/outsourcing"
must_fail outsourcing_c "failed: head check cvencode answered" "$bin/outsourcing_c"

# The Python example, through the checkout's package over the installed library.
if [ -d "$repo/python/fabrikon" ] && [ -f "$here/outsourcing.py" ]; then
  python=(env PYTHONPATH="$repo/python")
  library=""
  [ -n "$libdir" ] && library=$(ls "$libdir"/libfabrikon.so* 2>/dev/null | head -n 1)
  if [ -n "$library" ]; then python+=(FABRIKON_LIBRARY="$library"); fi
  python+=("${PYTHON:-python3}" "$here/outsourcing.py")
  run outsourcing.py 'approve => "委外订单[4]审核成功！"' "$outsourcing_done" "${python[@]}"
  must_fail outsourcing.py "failed: check_head cvencode answered" "${python[@]}"
fi

if [ $failed -ne 0 ]; then
  echo "run-all: some examples failed" >&2
  exit 1
fi
echo "run-all: every example ok"
