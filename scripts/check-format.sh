#!/usr/bin/env bash
# Fails when a C++ source file of the repository differs from what .clang-format makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tests bench tools -name '*.cpp' -o -name '*.h')
unformatted=()
for f in "${files[@]}"; do
  [ -f "$f" ] || continue
  clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || unformatted+=("$f")
done
if [ ${#unformatted[@]} -gt 0 ]; then
  echo "These source files are not formatted:" >&2
  printf '  %s\n' "${unformatted[@]}" >&2
  echo "Fix them with:  git ls-files '*.cpp' '*.h' | xargs clang-format -i" >&2
  exit 1
fi
echo "Formatting: ${#files[@]} source files match .clang-format"
