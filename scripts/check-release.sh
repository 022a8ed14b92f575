#!/usr/bin/env bash
# Checks a build made as users make it (scripts/release-options.sh): the program starts in a real window
# under Xvfb and quits by itself; the Debian package built from it with the README's command passes
# lintian without errors; the packaged programs run from an unpacked copy.
# usage: check-release.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)

fail() { echo "check-release: FAIL: $*" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/tamrix-release.XXXXXX")
trap 'rm -rf "$work"' EXIT

# A throw-away store with one domain, and state folders of its own: nothing of the user's is read.
export TAMRIX_DEFAULTS_DIR=$work/store XDG_STATE_HOME=$work/state XDG_CONFIG_HOME=$work/config
mkdir -p "$TAMRIX_DEFAULTS_DIR"
printf '<?xml version="1.0" encoding="UTF-8"?>\n<plist version="1.0"><dict><key>greeting</key><string>hello</string></dict></plist>\n' \
  > "$work/domain.plist"
"$build/tools/tamrix-tool" store write org.example.Release "$work/domain.plist" \
  || fail "tamrix-tool cannot write a domain into the store"

echo "check-release: starting tamrix under Xvfb"
command -v xvfb-run > /dev/null || fail "xvfb-run is not installed (scripts/setup.sh installs xvfb)"
status=0
env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY TAMRIX_QUIT_WHEN_IDLE=1 \
  timeout 120 xvfb-run -a -s "-screen 0 1280x800x24" "$build/tamrix" > "$work/window.log" 2>&1 || status=$?
if [ $status -ne 0 ]; then
  cat "$work/window.log" >&2
  fail "tamrix did not start and quit under Xvfb (exit status $status)"
fi
[ -f "$TAMRIX_DEFAULTS_DIR/org.example.Release.plist" ] || fail "the store's domain is gone after the window ran"

echo "check-release: building the Debian package"
rm -f "$build"/tamrix_*.deb
(cd "$build" && cpack -G DEB > "$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; fail "cpack -G DEB"; }
debs=("$build"/tamrix_*.deb)
[ -f "${debs[0]}" ] || fail "cpack made no tamrix_*.deb"
deb=${debs[0]}

echo "check-release: lintian $(basename "$deb")"
command -v lintian > /dev/null || fail "lintian is not installed (scripts/setup.sh installs it)"
# Exit status 1: errors (listed by tag); 2 or more: lintian itself failed.
status=0
lintian --tag-display-limit 0 --fail-on error --display-info "$deb" > "$work/lintian.log" 2>&1 || status=$?
sed 's/^/  /' "$work/lintian.log"
if [ $status -eq 1 ]; then
  fail "lintian reports errors: $(sed -nE 's/^E: [^ ]+: ([^ ]+).*/\1/p' "$work/lintian.log" | sort -u | tr '\n' ' ')"
elif [ $status -ne 0 ]; then
  fail "lintian did not run (exit status $status)"
fi
echo "check-release: lintian: no errors, $(grep -c '^W: ' "$work/lintian.log" || true) warnings"

echo "check-release: running the packaged programs"
dpkg-deb -x "$deb" "$work/unpacked"
version=$("$work/unpacked/usr/bin/tamrix" --version) || fail "the packaged tamrix --version failed"
[ -n "$version" ] || fail "the packaged tamrix --version printed nothing"
"$work/unpacked/usr/bin/tamrix-tool" --help > /dev/null || fail "the packaged tamrix-tool --help failed"
for doc in copyright changelog.gz; do
  [ -f "$work/unpacked/usr/share/doc/tamrix/$doc" ] || fail "the package has no /usr/share/doc/tamrix/$doc"
done
echo "check-release: passed ($version; $(basename "$deb"), $(stat -c %s "$deb") bytes)"
