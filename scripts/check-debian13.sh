#!/usr/bin/env bash
# Builds Tamrix and runs its tests on the next Debian release, 13 (trixie), in a throw-away chroot made
# from Debian's archive: scripts/setup.sh inside it installs what that release has, then the normal
# build with warnings as errors and every test. Runs as root (mmdebstrap's root mode).
# Fails with the step that failed; the chroot is removed in any case.
set -euo pipefail
cd "$(dirname "$0")/.."
release=trixie

fail() { echo "check-debian13: FAIL: $*" >&2; exit 1; }

command -v mmdebstrap > /dev/null || fail "mmdebstrap is not installed (scripts/setup.sh installs it)"
[ "$(id -u)" -eq 0 ] || fail "making the chroot needs root"

# Debian's archive as this machine's apt reaches it: the source of its Debian release's main component.
mirror=$(apt-cache policy | awk '
  /^ *[0-9]+ [a-z]+:\/\// { url = $2; suite = $3; next }
  /release / && /o=Debian,/ && /l=Debian,/ && /c=main/ && url != "" && suite !~ /-/ { print url; exit }')
[ -n "$mirror" ] || fail "no Debian archive among this machine's apt sources (apt-cache policy)"

work=$(mktemp -d "${TMPDIR:-/tmp}/tamrix-debian13.XXXXXX")
trap 'rm -rf --one-file-system "$work"' EXIT
# The tree as it is, without build folders: what a clone of it holds.
mkdir "$work/src"
tar --exclude=./build --exclude=./.git -cf - . | tar -xf - -C "$work/src"

echo "check-debian13: making a $release chroot from $mirror"
# Inside: the release's own setup, the normal build with warnings as errors, every test. The hook fails
# mmdebstrap, and so this script, when any step fails.
inside='set -euo pipefail
cd /tamrix
bash scripts/setup.sh
echo "check-debian13: $(. /etc/os-release; echo "$PRETTY_NAME"), $(g++ --version | head -n 1), Qt $(qtpaths6 --qt-version 2>/dev/null || echo "?")"
bash scripts/check-format.sh
cmake -S . -B build/debian13 -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMRIX_WERROR=ON
cmake --build build/debian13 -j "$(nproc)"
cd build/debian13 && ctest --output-on-failure -j "$(nproc)" --timeout 900'
started=$SECONDS
mmdebstrap --variant=apt --mode=root --include=ca-certificates \
  --customize-hook="cp -a '$work/src' \"\$1/tamrix\"" \
  --customize-hook="chroot \"\$1\" env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 CI=true bash -c '$inside'" \
  "$release" "$work/root" "deb $mirror $release main" || fail "the build or its tests failed on Debian 13 (above)"
echo "check-debian13: passed in $((SECONDS - started)) s"
