#!/usr/bin/env bash
# tamrix-tool's key paths on the generated 1,000-domain store, whole processes: one `key write` into the
# 200,000-key domain (and `key type` of a key there, which reads the domain and writes nothing: the read
# part), `store find` over every domain, and the CPU `store watch` uses at rest.
# Usage: bash bench/store/tool-keys.sh BUILD_DIR [RUNS] [WATCH_SECONDS]
set -euo pipefail
build=${1:?usage: tool-keys.sh BUILD_DIR [RUNS] [WATCH_SECONDS]}
runs=${2:-5}
seconds=${3:-60}
tool="$build/tools/tamrix-tool"
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
export TAMRIX_DEFAULTS_DIR="$work/store" TAMRIX_HISTORY_DIR="$work/history"
"$build/bench/store/tamrix-bench-makestore" "$TAMRIX_DEFAULTS_DIR"
big=$(ls -S "$TAMRIX_DEFAULTS_DIR" | awk 'NR == 1')
big=${big%.plist}
# The first top-level key (its name needs no escape in a key path).
key=$("$tool" store read "$big" | awk -F'[<>]' '/^\t<key>/ && !k { k = $3 } END { print k }')
echo "largest domain: $big ($(stat -c %s "$TAMRIX_DEFAULTS_DIR/$big.plist") bytes), a key of it: $key"

# Elapsed seconds and peak RSS (kB) of one run.
measure() {
  /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null
  cat "$work/time"
}
report() {
  local what=$1
  shift
  local results=()
  for _ in $(seq "$runs"); do results+=("$(measure "$@")"); done
  printf '%s\n' "${results[@]}" | sort -n | awk -v what="$what" '
    { t[NR] = $1; m = $2 > m ? $2 : m }
    END { printf "%-44s median %.3f s (min %.3f, max %.3f) of %d, peak RSS %d MB\n",
                 what, t[int((NR + 1) / 2)], t[1], t[NR], NR, m / 1024 }'
}

report "key type (reads the domain)" "$tool" key type "$big" "$key"
# The first write of a domain also puts the version it replaces in the empty history, whole.
measure "$tool" key write "$big" Bench/written -int 0 | awk '{ printf "%-44s %.3f s, peak RSS %d MB\n", "key write, the first (history made)", $1, $2 / 1024 }'
# Then each write a new value (the shell's process id), the change kept against the version before.
report "key write, history kept" sh -c 'exec "$0" key write "$1" Bench/written -int $$' "$tool" "$big"
report "key read of one key" "$tool" key read "$big" "$key"
report "store find font (keys)" "$tool" store find font
report "store find font --values" "$tool" store find font --values

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
"$tool" store watch >/dev/null &
pid=$!
sleep 3
start=$(ticks "$pid")
sleep "$seconds"
end=$(ticks "$pid")
hz=$(getconf CLK_TCK)
rss=$(awk '/VmRSS/ { print $2 }' "/proc/$pid/status")
awk -v t=$((end - start)) -v hz="$hz" -v s="$seconds" -v rss="$rss" 'BEGIN {
  printf "store watch at rest for %d s: %.2f s CPU (%.3f%% of one core), RSS %d MB\n",
         s, t / hz, 100 * t / hz / s, rss / 1024 }'
