#!/usr/bin/env bash
# The cost of watching the store at rest: the whole tamrix process on the generated 1,000-domain store,
# offscreen, left alone for SECONDS once start-up is over (FollowExternalChanges on, as by default). Prints
# the CPU time (user + system, from /proc/PID/stat) it used in that time and the share of one core.
# With "off" as fourth argument the store's own domain turns FollowExternalChanges off, for comparison.
# Usage: bash bench/app/watch-idle.sh BUILD_DIR [SECONDS] [SETTLE_SECONDS] [off]
set -euo pipefail
build=${1:?usage: watch-idle.sh BUILD_DIR [SECONDS] [SETTLE_SECONDS]}
seconds=${2:-60}
settle=${3:-20}
store=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$store"' EXIT
"$build/bench/store/tamrix-bench-makestore" "$store" >/dev/null
if [ "${4:-}" = off ]; then
  printf '{ FollowExternalChanges = NO; }\n' >"$store/tamrix.plist"
fi

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

TAMRIX_DEFAULTS_DIR="$store" QT_QPA_PLATFORM=offscreen "$build/tamrix" >/dev/null 2>&1 &
pid=$!
sleep "$settle"
start=$(ticks "$pid")
sleep "$seconds"
end=$(ticks "$pid")
hz=$(getconf CLK_TCK)
awk -v t=$((end - start)) -v hz="$hz" -v s="$seconds" -v total="$(ticks "$pid")" 'BEGIN {
  printf "at rest for %d s: %.2f s CPU (%.3f%% of one core); start-up before it: %.2f s CPU\n",
         s, t / hz, 100 * t / hz / s, (total - t) / hz }'
