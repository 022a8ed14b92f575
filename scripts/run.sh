#!/usr/bin/env bash
# Sets up, builds and starts Tamrix on the user's own defaults store.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
source scripts/release-options.sh
cmake -S . -B build/release -G Ninja "${release_options[@]}"
cmake --build build/release -j "$(nproc)" --target tamrix tamrix-tool
exec build/release/tamrix "$@"
