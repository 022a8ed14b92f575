#!/usr/bin/env bash
# Sets up, builds and runs every test: a normal build with warnings as errors, then a build under
# AddressSanitizer and UndefinedBehaviorSanitizer. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
jobs=$(nproc)

echo "== Formatting"
bash scripts/check-format.sh

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DTAMRIX_WERROR=ON "$@"
  cmake --build "$dir" -j "$jobs"
  (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 900)
}

echo "== Normal build"
run_suite build/ci -DCMAKE_BUILD_TYPE=RelWithDebInfo

echo "== Sanitizer build (address, undefined)"
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
run_suite build/asan -DCMAKE_BUILD_TYPE=Debug -DTAMRIX_SANITIZE=ON -DTAMRIX_BENCH=OFF
echo "== All tests passed in both builds"
