#!/bin/sh
# Loads and writes the generated preferences file with tamrix, libplist and python3's plistlib.
#   bench/plist/run_comparison.sh BUILD_DIR WORK_DIR
set -e
build=$1
work=$2
here=$(dirname "$0")
mkdir -p "$work"
"$build/bench/plist/plist_bench" generate "$work"
peak() { /usr/bin/time -v "$@" 2>&1 | grep -E "^(load|write|parse)|Elapsed|Maximum resident" | sed 's/^\t//'; }
for file in prefs.xml prefs.bplist; do
  echo "== $file"
  echo "-- tamrix-tool plist check"; peak "$build/tools/tamrix-tool" plist check "$work/$file" >/dev/null
  peak "$build/tools/tamrix-tool" plist check "$work/$file"
  echo "-- libplist_peer load"; peak "$build/bench/plist/libplist_peer" load "$work/$file"
  echo "-- plistlib"; peak python3 "$here/plistlib_peer.py" "$work/$file"
done
echo "== writing (file loaded first, write timed in-process)"
echo "-- libplist_peer write xml"; peak "$build/bench/plist/libplist_peer" write "$work/prefs.bplist" xml
echo "-- libplist_peer write bin"; peak "$build/bench/plist/libplist_peer" write "$work/prefs.bplist" bin
echo "-- plistlib write"; python3 "$here/plistlib_peer.py" "$work/prefs.bplist" write
echo "== tamrix in-process (Google Benchmark)"
"$build/bench/plist/plist_bench" --benchmark_repetitions=1
