#!/bin/sh
# Installs the Debian packages the build and the tests need; skips what is there.
set -e
PACKAGES="build-essential cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev \
libqt6opengl6-dev libgl1-mesa-dev libpng-dev libimagequant-dev zlib1g-dev libexpat1-dev nlohmann-json3-dev libcli11-dev libgtest-dev \
libgmock-dev libbenchmark-dev libbluray-dev xvfb xauth clang libclang-rt-14-dev ccache clang-format \
mkvtoolnix"
missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends $missing
