#!/usr/bin/env bash
# Fails when a C++ file of the project (tracked by git; every one outside a checkout) differs from
# what clang-format makes of it with the checked-in .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."

# The layout is the choice of one clang-format major version: others lay out some lines differently, so
# where only another version is installed the check says so and is skipped.
pinned=14
tool=""
for candidate in "clang-format-$pinned" clang-format; do
  if command -v "$candidate" >/dev/null &&
     [ "$("$candidate" --version | sed -n 's/.*clang-format version \([0-9]*\).*/\1/p')" = "$pinned" ]; then
    tool=$candidate
    break
  fi
done
if [ -z "$tool" ]; then
  if command -v clang-format >/dev/null; then
    echo "check-format: skipped: the layout is clang-format $pinned's, and only" \
         "$(clang-format --version | sed -n 's/.*\(clang-format version [0-9.]*\).*/\1/p') is installed"
    exit 0
  fi
  echo "check-format: clang-format is missing (scripts/setup.sh installs it)" >&2
  exit 1
fi
status=0
while IFS= read -r -d '' file; do
  if ! "$tool" --style=file "$file" | cmp -s - "$file"; then
    echo "check-format: $file is not formatted (run: $tool -i $file)" >&2
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
