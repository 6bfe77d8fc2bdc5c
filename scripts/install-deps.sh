#!/usr/bin/env bash
# Installs the Debian packages that tumu needs to build, test and play, when any is missing.
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  libsdl2-dev libsdl2-mixer-dev libfluidsynth-dev
  libfreetype-dev libfontconfig-dev libpng-dev
  fonts-ipafont-gothic timgm6mb-soundfont
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth
  clang libclang-rt-14-dev
  # Test data: real-world sounds whose lengths the tests check against independent readers.
  openttd-openmsx lbreakout2-data
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

as_root=(env DEBIAN_FRONTEND=noninteractive)
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo "${as_root[@]}")
fi

echo "install-deps: installing ${missing[*]}"
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
