#!/usr/bin/env bash
# Installs every Debian package that building, running, testing and packaging the game needs.
# Does nothing when all of them are present, and never removes a package: where a dependency
# leaves apt a choice that could swap out what the system has (JACK1 or JACK2 for FluidSynth's
# headers), the list names it, and an installed alternative counts as present.
set -euo pipefail

# "a|b": a, unless b (or a) is installed already or a would have apt remove something.
packages=(
  build-essential g++ cmake ninja-build pkg-config ccache
  clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-translations-l10n
  libqt6multimedia6 qml6-module-qtmultimedia
  libgl-dev
  qt6-tools-dev qt6-documentation-tools libqt6sql6-sqlite zlib1g-dev
  desktop-file-utils appstream
  libfluidsynth-dev 'libjack-jackd2-dev|libjack-dev' timgm6mb-soundfont libasound2-dev
  pulseaudio pulseaudio-utils sox
  libsqlite3-dev sqlite3
  libwmf-dev fonts-urw-base35
  libgtest-dev libgmock-dev googletest
  libbenchmark-dev
  fonts-ipafont-gothic fonts-liberation2
  libxcb1-dev
  xvfb xauth x11-utils imagemagick openbox xdotool
  at-spi2-core python3-pyatspi dbus-daemon
  weston xwayland qt6-wayland
  dpkg-dev file lintian man-db
)

# One query for all of them: what is installed, a line each.
# (dpkg-query fails for a name it has never seen; the names it knows are still listed.)
present_list=$( (dpkg-query -W -f='${Package} ${Status}\n' $(printf '%s\n' "${packages[@]}" | tr '|' '\n') \
  2>/dev/null || true) | awk '/ install ok installed$/{print $1}')
installed() { grep -qxF "$1" <<<"$present_list"; }
missing=()
for entry in "${packages[@]}"; do
  IFS='|' read -ra choices <<<"$entry"
  present=0
  for choice in "${choices[@]}"; do installed "$choice" && present=1 && break; done
  [ "$present" = 1 ] || missing+=("$entry")
done

[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
# What apt would remove to install the given packages (a simulation needs no privileges).
removals() {
  apt-get install --simulate --no-install-recommends "$@" | awk '/^Remv /{print $2}'
}
chosen=()
for entry in "${missing[@]}"; do
  IFS='|' read -ra choices <<<"$entry"
  pick=${choices[0]}
  if [ ${#choices[@]} -gt 1 ]; then
    for choice in "${choices[@]}"; do
      [ -z "$(removals "$choice")" ] && pick=$choice && break
    done
  fi
  chosen+=("$pick")
done
doomed=$(removals "${chosen[@]}" | tr '\n' ' ')
if [ -n "$doomed" ]; then
  echo "setup: installing ${chosen[*]} would remove ${doomed}; nothing was changed." >&2
  exit 1
fi
echo "Installing: ${chosen[*]}"
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${chosen[@]}"
