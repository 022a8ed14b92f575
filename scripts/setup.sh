#!/usr/bin/env bash
# Installs every Debian package that building, testing, benchmarking and the interop tests need.
# Idempotent; run as root (or through sudo) on Debian 12 or 13.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config git clang-format
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools libgl-dev
  # QTreeView's private class (the key outline's in-place layout)
  qt6-base-private-dev
  # tests, sanitizers, fuzzing
  libgtest-dev libgmock-dev clang python3 locales
  # the sanitizer and fuzzer runtimes of the release's default clang (unversioned: follows that clang)
  libclang-rt-dev
  xvfb xauth fonts-dejavu-core
  # Qt's own translations (standard buttons and dialogs)
  qt6-translations-l10n
  # interop peers and benchmarks
  gnustep-base-runtime libplist-dev libbenchmark-dev time
  # desktop files: icon sizes, their validators, manual pages; the Debian package (dpkg-shlibdeps)
  librsvg2-bin desktop-file-utils appstream shared-mime-info libglib2.0-bin groff-base dpkg-dev
  # the package's checks, and the build on the next Debian release in a throw-away chroot
  lintian mmdebstrap
  # compiler cache: the checks build the same sources in several configurations
  ccache
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
echo "setup: installed ${missing[*]}"
