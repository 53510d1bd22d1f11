#!/usr/bin/env bash
# Fails when a C++ file of the repository is not in the style of its
# .clang-format; `clang-format -i FILE` puts one right.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')
if ! clang-format --dry-run --Werror "${files[@]}"; then
    echo "check-format: the files above are not in the repository's clang-format style" >&2
    exit 1
fi
echo "check-format: ${#files[@]} C++ files in style"
