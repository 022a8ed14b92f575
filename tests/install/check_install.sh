#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop reads from it: the desktop entry,
# the AppStream metadata, the MIME package (compiled into a database of its own, then asked which type a
# file has) and the manual pages. Every tool it needs is installed by scripts/setup.sh; a missing one fails.
# usage: check_install.sh CMAKE BUILD_DIR WORK_DIR APP_ID
set -euo pipefail
cmake=$1 build=$2 work=$3 app_id=$4

fail() { echo "FAIL: $*" >&2; exit 1; }

for tool in desktop-file-validate appstreamcli update-mime-database gio groff; do
  command -v "$tool" > /dev/null \
    || fail "$tool is not installed (scripts/setup.sh installs it: desktop-file-utils, appstream, shared-mime-info, libglib2.0-bin, groff-base)"
done

rm -rf "$work"
mkdir -p "$work"
prefix=$work/prefix
"$cmake" --install "$build" --prefix "$prefix" > "$work/install.log" || { cat "$work/install.log"; fail "cmake --install"; }

share=$prefix/share
desktop=$share/applications/$app_id.desktop
metainfo=$share/metainfo/$app_id.metainfo.xml
mime=$share/mime/packages/$app_id.xml
for file in "$prefix/bin/tamrix" "$prefix/bin/tamrix-tool" "$desktop" "$metainfo" "$mime" \
            "$share/icons/hicolor/scalable/apps/$app_id.svg" \
            "$share/man/man1/tamrix.1.gz" "$share/man/man1/tamrix-tool.1.gz" \
            "$share/doc/tamrix/copyright" "$share/doc/tamrix/changelog.gz"; do
  [ -f "$file" ] || fail "not installed: ${file#"$prefix"/}"
done
[ -x "$prefix/bin/tamrix" ] && [ -x "$prefix/bin/tamrix-tool" ] || fail "the programs are not executable"

# Validators: any complaint, even a hint, fails.
out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] || fail "desktop-file-validate: $out"
grep -qx "MimeType=application/x-tamrix-domain;application/x-tamrix-domains;" "$desktop" \
  || fail "the desktop entry does not list both exchange-file types"
grep -qx "Icon=$app_id" "$desktop" || fail "the desktop entry does not name the icon $app_id"
appstreamcli validate --no-net --pedantic --explain "$metainfo" > "$work/appstream.log" 2>&1 \
  || { cat "$work/appstream.log"; fail "appstreamcli validate"; }

for page in tamrix tamrix-tool; do
  out=$(gzip -dc "$share/man/man1/$page.1.gz" | groff -man -ww -z -Tutf8 2>&1) && [ -z "$out" ] \
    || fail "manual page $page.1: $out"
done

# A MIME database of these types alone, read through the XDG folders as every desktop reads it.
xdg=$work/xdg
mkdir -p "$xdg/mime/packages"
cp "$mime" "$xdg/mime/packages/"
out=$(update-mime-database -V "$xdg/mime" 2>&1 >/dev/null | grep -iE "warn|error|invalid" || true)
[ -z "$out" ] || fail "update-mime-database: $out"
[ -f "$xdg/mime/mime.cache" ] || fail "update-mime-database wrote no mime.cache"

files=$work/files
mkdir -p "$files"
tool=$prefix/bin/tamrix-tool
printf '{"domain": "org.example.Installed", "root": {"dict": {"greeting": {"string": "hello"}}}}' > "$work/one.json"
printf '{"domains": [{"domain": "org.example.Installed", "root": {"dict": {}}}]}' > "$work/list.json"
"$tool" archive write "$work/one.json" "$files/x.tamdom" || fail "the installed tamrix-tool cannot write an exchange file"
"$tool" archive write "$work/list.json" "$files/x.tamdoms" || fail "the installed tamrix-tool cannot write an exchange file"
cp "$files/x.tamdom" "$files/renamed"
printf '<?xml version="1.0" encoding="UTF-8"?>\n<plist version="1.0"><dict><key>a</key><string>b</string></dict></plist>\n' > "$work/plain.plist"
"$tool" plist convert "$work/plain.plist" "$files/plain-binary" --format binary || fail "tamrix-tool plist convert"

type_of() {
  XDG_DATA_HOME=$xdg XDG_DATA_DIRS=$xdg GIO_USE_VFS=local \
    gio info --attributes=standard::content-type "$1" | sed -n 's/^ *standard::content-type: //p'
}
# file, expected type: by name, by content (the archive under another name), and a binary property
# list that is no exchange file.
checks=(
  "x.tamdom application/x-tamrix-domain"
  "x.tamdoms application/x-tamrix-domains"
  "renamed application/x-tamrix-domain"
)
for check in "${checks[@]}"; do
  read -r name expected <<< "$check"
  actual=$(type_of "$files/$name")
  [ "$actual" = "$expected" ] || fail "$name resolves to '$actual', expected $expected"
done
actual=$(type_of "$files/plain-binary")
case "$actual" in application/x-tamrix-*) fail "a plain binary property list resolves to $actual" ;; esac

echo "installed files and desktop metadata are valid"
