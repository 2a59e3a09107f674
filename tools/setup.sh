#!/usr/bin/env bash
# Installs every Debian package that building, running and testing the game needs.
# Does nothing when all of them are present.
set -euo pipefail

packages=(
  build-essential g++ cmake ninja-build pkg-config ccache
  clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-translations-l10n
  libqt6multimedia6 qml6-module-qtmultimedia
  libgl-dev
  qt6-tools-dev qt6-documentation-tools libqt6sql6-sqlite zlib1g-dev
  desktop-file-utils appstream
  libfluidsynth-dev timgm6mb-soundfont libasound2-dev
  pulseaudio pulseaudio-utils sox
  libsqlite3-dev sqlite3
  libwmf-dev fonts-urw-base35
  libgtest-dev libgmock-dev googletest
  libbenchmark-dev
  fonts-ipafont-gothic fonts-liberation2
  libxcb1-dev
  xvfb xauth x11-utils imagemagick openbox xdotool
  weston xwayland qt6-wayland pulseaudio
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
