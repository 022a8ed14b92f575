#!/usr/bin/env bash
# Start-up of the whole tamrix process on the generated 1,000-domain store, until the main window is
# shown and the application is idle (TAMRIX_QUIT_WHEN_IDLE=1), against the bare parse of all its domains
# by the codec (tamrix-bench-loadstore DIR parse) and the store's own listing and counting of them
# (tamrix-bench-loadstore DIR load), and the start-up in English against German (the translation tables
# loaded). Prints the median wall time, CPU time (user + system) and peak memory of RUNS runs.
# Usage: bash bench/app/startup.sh BUILD_DIR [RUNS]
set -euo pipefail
build=${1:?usage: startup.sh BUILD_DIR [RUNS]}
runs=${2:-5}
store=$(mktemp -d)
trap 'rm -rf "$store"' EXIT
"$build/bench/store/tamrix-bench-makestore" "$store" >/dev/null

median() { sort -n | sed -n "$(( (runs + 1) / 2 ))p"; }

measure() { # label command...: median wall seconds, CPU seconds and KiB over the runs
  local label=$1; shift
  local times=() cpus=() rss=()
  for _ in $(seq "$runs"); do
    local wall user system kib
    /usr/bin/time -f '%e %U %S %M' -o "$store.time" "$@" >/dev/null 2>&1
    read -r wall user system kib < <(tail -1 "$store.time")
    times+=("$wall"); cpus+=("$(awk "BEGIN { print $user + $system }")"); rss+=("$kib")
  done
  printf '%-40s %6s s wall  %6s s CPU  %8s KiB\n' "$label" \
    "$(printf '%s\n' "${times[@]}" | median)" "$(printf '%s\n' "${cpus[@]}" | median)" \
    "$(printf '%s\n' "${rss[@]}" | median)"
}

# The application writes its window size into the store's own domain on quitting; a copy keeps the
# generated store unchanged between runs.
app_store=$(mktemp -d)
trap 'rm -rf "$store" "$app_store" "$store.time"' EXIT
cp -a "$store/." "$app_store/"
measure "bare parse (1,000 domains)" "$build/bench/store/tamrix-bench-loadstore" "$store" parse
measure "store load (1,000 domains)" "$build/bench/store/tamrix-bench-loadstore" "$store" load
measure "tamrix start-up to idle" env TAMRIX_DEFAULTS_DIR="$app_store" TAMRIX_QUIT_WHEN_IDLE=1 \
  QT_QPA_PLATFORM=offscreen "$build/tamrix"
for language in C.UTF-8 de_DE.UTF-8; do
  measure "tamrix start-up to idle, LANG=$language" env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=$language \
    TAMRIX_DEFAULTS_DIR="$app_store" TAMRIX_QUIT_WHEN_IDLE=1 QT_QPA_PLATFORM=offscreen "$build/tamrix"
done
