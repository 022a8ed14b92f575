#!/usr/bin/env bash
# Sets up, builds and runs every check, with warnings as errors throughout: the normal build and its
# tests; the build users make (the README's first command) started under Xvfb, installed, packaged and
# checked with lintian; a clang build without the outline's in-place layout, with the outline and window
# tests; the build under AddressSanitizer and UndefinedBehaviorSanitizer with every test; and the normal
# build and its tests on the next Debian release, in a throw-away chroot. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
jobs=$(nproc)
started=$SECONDS
step() { echo "== $* (at $((SECONDS - started)) s)"; }

# The same sources are built in several configurations and again on every run: ccache keeps the objects,
# whichever folder the tree was cloned into.
launcher=()
if command -v ccache >/dev/null; then
  cache_home=${XDG_CACHE_HOME:-${HOME:-/var/cache}/.cache}
  export CCACHE_DIR=${CCACHE_DIR:-$cache_home/ccache} CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
  export CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-20G}
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# build FOLDER CMAKE-OPTIONS...: configures with warnings as errors (options given later win) and builds.
build() {
  local dir=$1; shift
  cmake -S . -B "$dir" "${launcher[@]}" "$@" -DTAMRIX_WERROR=ON
  cmake --build "$dir" -j "$jobs"
}
# run_tests FOLDER CTEST-OPTIONS...
run_tests() {
  local dir=$1; shift
  (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 900 "$@")
}

step "Formatting"
bash scripts/check-format.sh

step "Normal build"
build build/ci -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_tests build/ci

step "Release build, as the README's first command and the packaging commands build it"
source scripts/release-options.sh
build build/ci-release -G Ninja "${release_options[@]}"
bash scripts/check-release.sh build/ci-release

step "Clang build, the outline without the in-place layout"
build build/ci-clang -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DTAMRIX_OUTLINE_IN_PLACE=OFF
run_tests build/ci-clang -L '^app$'
run_tests build/ci-clang -R 'KeyOutline'

step "Sanitizer build (address, undefined)"
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
build build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAMRIX_SANITIZE=ON -DTAMRIX_BENCH=OFF
run_tests build/asan
unset ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS

step "Debian 13"
bash scripts/check-debian13.sh

step "Every check passed"
