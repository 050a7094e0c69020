#!/bin/sh
# Refreshes the README's pictures of the desktop program: one offscreen grab of each page
# that a read of the bundled sample disc fills.
#   tools/sample/screenshots.sh BUILD_DIR
set -e
BUILD=${1:?usage: screenshots.sh BUILD_DIR}
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
HOME_DIR=$(mktemp -d)
trap 'rm -rf "$HOME_DIR"' EXIT
for page in 0:bdmv 1:playlist 2:clipinf 3:menu 4:bdjo 5:disc; do
  HOME=$HOME_DIR QT_QPA_PLATFORM=offscreen "$BUILD/src/app/corvane" --screenshot "$ROOT/docs/screenshot-${page#*:}.png" \
    --page "${page%%:*}" "$ROOT/samples/SAMPLE/BDMV/index.bdmv"
done
