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

# Kept from run to run (only what can be made again): the release's downloaded packages and the
# compiler cache of the build inside.
cache=${XDG_CACHE_HOME:-${HOME:-/var/cache}/.cache}/tamrix-checks/debian13
mkdir -p "$cache/apt" "$cache/ccache"

work=$(mktemp -d "${TMPDIR:-/tmp}/tamrix-debian13.XXXXXX")
cleanup() {
  # Nothing is removed through a mount left behind by a failed step.
  findmnt -rn -o TARGET | grep "^$work/" | sort -r | xargs -r -n 1 umount -l || true
  rm -rf --one-file-system "$work"
}
trap cleanup EXIT
# The tree as it is, without build folders: what a clone of it holds.
mkdir "$work/src"
tar --exclude=./build --exclude=./.git -cf - . | tar -xf - -C "$work/src"

echo "check-debian13: making a $release chroot from $mirror"
# Inside: the release's own setup, the normal build with warnings as errors, every test.
cat > "$work/src/.debian13-steps.sh" <<'STEPS'
set -euo pipefail
cd /tamrix
bash scripts/setup.sh
echo "check-debian13: $(. /etc/os-release; echo "$PRETTY_NAME"), $(g++ --version | head -n 1)"
bash scripts/check-format.sh
export CCACHE_DIR=/var/cache/tamrix-ccache CCACHE_BASEDIR=/tamrix CCACHE_MAXSIZE=5G
cmake -S . -B build/debian13 -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMRIX_WERROR=ON \
  -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
cmake --build build/debian13 -j "$(nproc)"
cd build/debian13 && ctest --output-on-failure -j "$(nproc)" --timeout 900
STEPS
# mmdebstrap's hook (the chroot's folder as its argument) mounts the caches, runs the steps and unmounts
# the caches again, whatever the steps' outcome; its failure fails mmdebstrap, and so this script.
cat > "$work/hook.sh" <<HOOK
set -u
root=\$1
mkdir -p "\$root/tamrix" "\$root/var/cache/apt/archives" "\$root/var/cache/tamrix-ccache"
cp -a "$work/src/." "\$root/tamrix/" || exit 1
mount --bind "$cache/apt" "\$root/var/cache/apt/archives" || exit 1
mount --bind "$cache/ccache" "\$root/var/cache/tamrix-ccache" || exit 1
status=0
chroot "\$root" env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \\
  LANG=C.UTF-8 CI=true bash /tamrix/.debian13-steps.sh || status=\$?
umount "\$root/var/cache/tamrix-ccache" "\$root/var/cache/apt/archives"
exit \$status
HOOK
started=$SECONDS
mmdebstrap --variant=apt --mode=root --include=ca-certificates --customize-hook="bash $work/hook.sh \"\$1\"" \
  "$release" "$work/root" "deb $mirror $release main" || fail "the build or its tests failed on Debian 13 (above)"
echo "check-debian13: passed in $((SECONDS - started)) s"
