#!/bin/sh
# Checks the C++ files against .clang-format without changing them:
#   scripts/check-format.sh           the files changed since the tree was last formatted whole
#                                     (the commit in .ci/format-base), committed or not
#   scripts/check-format.sh FILE...   the files given
#   scripts/check-format.sh --fix     formats the changed files in place
set -e
cd "$(dirname "$0")/.."
CLANG_FORMAT=$(command -v clang-format-14 || command -v clang-format) || {
  echo "check-format: clang-format is not installed" >&2
  exit 1
}
fix=""
[ "${1:-}" = --fix ] && { fix=1; shift; }
if [ $# -gt 0 ]; then
  files="$*"
else
  base=$(cat .ci/format-base)
  if git cat-file -e "$base^{commit}" 2>/dev/null; then
    files=$(git diff --name-only --diff-filter=ACMR "$base" -- '*.cpp' '*.h')
  else
    files=$(git ls-files '*.cpp' '*.h')  # a shallow clone: check everything
  fi
fi
[ -z "$files" ] && exit 0
if [ -n "$fix" ]; then
  $CLANG_FORMAT -i $files
else
  $CLANG_FORMAT --dry-run --Werror $files
fi
