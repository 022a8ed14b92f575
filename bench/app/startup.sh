#!/usr/bin/env bash
# Start-up of the whole tamrix process on the generated 1,000-domain store, until the main window is
# shown and the application is idle (TAMRIX_QUIT_WHEN_IDLE=1), against the store's bare load of the same
# domains (tamrix-bench-loadstore DIR load). Prints the median wall time and peak memory of RUNS runs.
# Usage: bash bench/app/startup.sh BUILD_DIR [RUNS]
set -euo pipefail
build=${1:?usage: startup.sh BUILD_DIR [RUNS]}
runs=${2:-5}
store=$(mktemp -d)
trap 'rm -rf "$store"' EXIT
"$build/bench/store/tamrix-bench-makestore" "$store" >/dev/null

measure() { # label command...: median seconds and KiB over the runs
  local label=$1; shift
  local times=() rss=()
  for _ in $(seq "$runs"); do
    local out
    /usr/bin/time -f '%e %M' -o "$store.time" "$@" >/dev/null 2>&1
    out=$(tail -1 "$store.time")
    times+=("${out% *}"); rss+=("${out#* }")
  done
  local t m
  t=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( (runs + 1) / 2 ))p")
  m=$(printf '%s\n' "${rss[@]}" | sort -n | sed -n "$(( (runs + 1) / 2 ))p")
  printf '%-34s %6s s  %8s KiB\n' "$label" "$t" "$m"
}

# The application writes its window size into the store's own domain on quitting; a copy keeps the
# generated store unchanged between runs.
app_store=$(mktemp -d)
trap 'rm -rf "$store" "$app_store" "$store.time"' EXIT
cp -a "$store/." "$app_store/"
measure "store bare load (1,000 domains)" "$build/bench/store/tamrix-bench-loadstore" "$store" load
measure "tamrix start-up to idle" env TAMRIX_DEFAULTS_DIR="$app_store" TAMRIX_QUIT_WHEN_IDLE=1 \
  QT_QPA_PLATFORM=offscreen "$build/tamrix"
