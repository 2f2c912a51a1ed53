#!/usr/bin/env bash
# check-package.sh DEB README: the Debian package as a host developer gets it.
# Builds the README's example with the README's CMake recipe and with its
# pkg-config lines (shared, and the static library with shared dependencies), and
# a small C program with fabrikon-c.pc, against
#   1. the package unpacked under a scratch prefix (the CMake package and the
#      .pc must be relocatable), and
#   2. the package installed with dpkg, when run as root (skipped with
#      FABRIKON_SYSTEM_INSTALL=0); a package that was not installed before
#      is removed again afterwards.
# Each build runs the example on a demo database made by the packaged CLI.
set -euo pipefail
deb=$(realpath "$1")
readme=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The README's fenced blocks: the C++ example, the CMake recipe, and the
# compiler lines of the shell block that uses pkg-config.
block() {  # block LANG: the first fenced block of that language
  awk -v lang="$1" '$0 == "```" lang {on = 1; next} on && /^```/ {exit} on {print}' "$readme"
}
block cpp >"$work/app.cpp"
block cmake >"$work/CMakeLists.txt"
grep -E '^g\+\+ .*pkg-config' <(block sh) >"$work/pkg-config-lines" || true
for file in app.cpp CMakeLists.txt pkg-config-lines; do
  [ -s "$work/$file" ] || { echo "check-package: the README has no $file block" >&2; exit 1; }
done
expected=$(grep -o '生产订单\[[^]]*\]审核成功！' "$work/app.cpp" | head -1)

run_example() {  # run_example LABEL PROGRAM
  local db="$work/plant-$RANDOM.db" output
  "$fabrikon_cli" init-db "$db" --demo >/dev/null
  # The example opens plant.db in its working directory.
  output=$(cd "$(dirname "$db")" && rm -f plant.db && ln -s "$db" plant.db && "$2")
  if [ "$output" != "$expected" ]; then
    echo "check-package: $1 printed \"$output\", not \"$expected\"" >&2
    exit 1
  fi
  echo "check-package: $1 ok"
}

# A C host: the C interface through fabrikon-c.pc, built warning-free as C
# (works with fabrikon_c.h with or without its fabrikon/Version.h).
cat >"$work/app-c.c" <<'EOF_C'
#include <stdint.h>
#include <stdio.h>

#include <fabrikon/fabrikon_c.h>

int main(void) {
  fabrikon_voucher_co* co = fabrikon_co_create();
  int32_t result = 0;
  const char* answer = NULL;
  if (!co || fabrikon_co_init(co, "Data Source=plant.db", "pp25", "demo", "张三", "2024-03-10", &result) != 0 ||
      fabrikon_co_get_voucher_data(co, "", "2", "") != 0 || fabrikon_co_call(co, "VoucherConfirm", &answer) != 0) {
    fprintf(stderr, "error 0x%08X: %s\n", co ? (unsigned)fabrikon_co_last_error_number(co) : 0u,
            co ? fabrikon_co_last_error(co) : "no memory");
    fabrikon_co_destroy(co);
    return 1;
  }
  printf("%s\n", answer);
  fabrikon_co_destroy(co);
  return 0;
}
EOF_C

build_c() {  # build_c LABEL OUT
  if pkg-config --cflags fabrikon-c | grep -q -- '-std='; then
    echo "check-package: fabrikon-c.pc passes a language standard to C hosts" >&2
    exit 1
  fi
  gcc -std=c11 -Wall -Wextra -Werror -pedantic "$work/app-c.c" -o "$2/app-c" $(pkg-config --cflags --libs fabrikon-c)
  run_example "$1: gcc with fabrikon-c.pc" "$2/app-c"
}

build_all() {  # build_all LABEL (CMAKE_PREFIX_PATH / PKG_CONFIG_PATH set by the caller)
  local label=$1 out="$work/$1"
  mkdir -p "$out"
  cp "$work/app.cpp" "$work/CMakeLists.txt" "$out/"
  cmake -S "$out" -B "$out/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$out/build" >/dev/null
  run_example "$label: find_package" "$out/build/app"
  sed -i 's/fabrikon::fabrikon)/fabrikon::fabrikon_static)/' "$out/CMakeLists.txt"
  cmake -S "$out" -B "$out/build-static" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$out/build-static" >/dev/null
  if ldd "$out/build-static/app" | grep libfabrikon >/dev/null; then
    echo "check-package: fabrikon::fabrikon_static linked the shared library" >&2
    exit 1
  fi
  run_example "$label: find_package static" "$out/build-static/app"
  local n=0 line
  while IFS= read -r line; do
    n=$((n + 1))
    (cd "$out" && eval "${line%%#*}")
    run_example "$label: ${line%%#*}" "$out/app"
  done <"$work/pkg-config-lines"
  build_c "$label" "$out"
}

# The Python package as a host gets it: the README's example (it approves a
# demo order) and the package's tests, run by the system's python3 from a
# scratch folder, so nothing of the checkout is on the path.
python_tests=$(realpath "$(dirname "$0")/../../python/tests")
block python >"$work/app.py"
check_python() {  # check_python LABEL (PYTHONPATH / FABRIKON_LIBRARY set by the caller, or neither)
  local dir="$work/python-$1" output
  mkdir -p "$dir" && cp -r "$python_tests" "$dir/tests"
  "$fabrikon_cli" init-db "$dir/plant.db" --demo >/dev/null
  output=$(cd "$dir" && /usr/bin/python3 -B "$work/app.py" | tail -n 1)
  if [ "$output" != "委外订单[2]审核成功！" ]; then
    echo "check-package: $1: the README's Python example printed \"$output\"" >&2
    exit 1
  fi
  (cd "$dir" && /usr/bin/python3 -B -m pytest -q -p no:cacheprovider tests) >"$dir/pytest.log" 2>&1 ||
    { cat "$dir/pytest.log" >&2; echo "check-package: $1: the Python tests failed" >&2; exit 1; }
  echo "check-package: $1: python ok ($(tail -n 1 "$dir/pytest.log"))"
}

# 1. Unpacked under a scratch prefix.
root="$work/root"
dpkg-deb -x "$deb" "$root"
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || gcc -print-multiarch)
fabrikon_cli="$root/usr/bin/fabrikon"
(
  export CMAKE_PREFIX_PATH="$root/usr" PKG_CONFIG_PATH="$root/usr/lib/$multiarch/pkgconfig"
  export LD_LIBRARY_PATH="$root/usr/lib/$multiarch"
  build_all relocated
  PYTHONPATH="$root/usr/lib/python3/dist-packages" FABRIKON_LIBRARY="$root/usr/lib/$multiarch/libfabrikon.so.6" \
    check_python relocated
)

# 2. Installed.
if [ "$(id -u)" -ne 0 ] || [ "${FABRIKON_SYSTEM_INSTALL:-1}" = 0 ]; then
  echo "check-package: installing skipped (needs root; FABRIKON_SYSTEM_INSTALL=0 skips it)"
  # The examples then run against the unpacked package instead.
  "$(dirname "$0")/../../examples/run-all.sh" "$root/usr"
  exit 0
fi
installed_before=0
dpkg -s fabrikon >/dev/null 2>&1 && installed_before=1
dpkg -i "$deb" >/dev/null
[ "$installed_before" = 1 ] || trap 'dpkg -r fabrikon >/dev/null; rm -rf "$work"' EXIT
fabrikon_cli=/usr/bin/fabrikon
build_all installed
# The installed package itself: the system's python3 finds it (and the
# library) with nothing set.
env -u PYTHONPATH -u FABRIKON_LIBRARY /usr/bin/python3 -c 'import fabrikon; assert fabrikon.__file__.startswith("/usr/lib/python3/dist-packages/"), fabrikon.__file__'
(unset PYTHONPATH FABRIKON_LIBRARY; check_python installed)
# Every example of examples/, built against the installed package and run.
"$(dirname "$0")/../../examples/run-all.sh"
