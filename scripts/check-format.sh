#!/usr/bin/env bash
# Fails when a C++ file of the project (tracked by git; every one outside a checkout) differs from
# what clang-format makes of it with the checked-in .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v clang-format >/dev/null; then
  echo "check-format: clang-format is missing (scripts/setup.sh installs it)" >&2
  exit 1
fi
status=0
while IFS= read -r -d '' file; do
  if ! clang-format --style=file "$file" | cmp -s - "$file"; then
    echo "check-format: $file is not formatted (run: clang-format -i $file)" >&2
    status=1
  fi
done < <(if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
           git ls-files -z -- '*.cpp' '*.h'
         else
           find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0
         fi)
if [ $status -eq 0 ]; then
  echo "check-format: every C++ file is formatted"
fi
exit $status
