#!/usr/bin/env bash
# Installs everything the build, the tests and the benchmarks need on a fresh
# Debian machine. Safe to run again.
set -euo pipefail
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
pkgs=(
  build-essential cmake ninja-build pkg-config git
  zlib1g-dev libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libssl-dev python3
  libsqlite3-dev  # the find benchmark compares a LIKE scan
  clang libclang-rt-14-dev clang-format
  pandoc  # reads the RTF writer's output in its test; makes the user guide
  xvfb xauth
  librsvg2-bin  # renders the icon sizes from the SVG
  groff-base  # formats the manual pages in their checks
  desktop-file-utils appstream dpkg-dev file  # check-install.sh: validators, cpack's dpkg-shlibdeps
  fonts-ipafont-gothic fonts-ipafont-mincho  # Japanese faces for the Windows faces diaries name
)
need=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
