#!/usr/bin/env bash
# Installs the program into a temporary prefix and checks it as a desktop sees it: the desktop
# entry and the AppStream data pass their validators, every file is in place, the command line
# answers without a display, and the installed program, started on a private display, opens
# its help from the menu (トピックの検索) and closes it when Esc ends the game.
#   install_check.sh <build-folder> <app-id> [--package]
# With --package the files come from the Debian package instead (tools/package.sh --quick),
# unpacked with dpkg -x into a temporary root: every entry root's, the program in /usr/games.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" = --drive ]; then
  prefix=$2 program=$2/$3
  # Status 3: the program failed; with_display.sh itself answers 1 when it gets no display.
  fail() { echo "install_check: $*" >&2; kill "$pid" 2>/dev/null || true; exit 3; }
  pid=""
  release=$(grep -o 'release version="[^"]*"' "$prefix"/share/metainfo/*.xml | cut -d'"' -f2)
  # Asked for both, the version answers first, as Qt orders them.
  [ "$(env -u DISPLAY "$program" --help --version)" = "Pyra3 $release" ] ||
    fail "--version does not say Pyra3 $release"
  [[ "$(env -u DISPLAY "$program" --help-all)" == *"--platform <"* ]] || fail "--help-all lacks Qt's options"
  manual=$(zcat "$prefix/share/man/man6/pyra3.6.gz" | sed 's/\\-/-/g')
  # The options column of --help: each option is in the manual page.
  help=$(env -u DISPLAY "$program" --help | grep -E '^ +-' | sed -E 's/ {3}.*//')
  for option in $(grep -oE -- '--?[a-z-]+' <<<"$help"); do
    grep -qF -- "$option" <<<"$manual" || fail "the manual page does not describe $option"
  done
  # Qt's own option is taken (a wrong display would end it otherwise); the unknown one is not.
  status=0
  "$program" -display "$DISPLAY" --bogus 2>"$XDG_RUNTIME_DIR/said" || status=$?
  said=$(cat "$XDG_RUNTIME_DIR/said")
  [ "$status" = 2 ] && [[ "$said" == *bogus* ]] && [ "$(wc -l <<<"$said")" = 1 ] ||
    fail "--bogus: status $status, said: $said"

  "$program" &
  pid=$!
  # Polls rather than waiting in xdotool, whose wait fails when a window goes while it looks.
  window() {
    for _ in $(seq 100); do
      xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 | grep . && return 0
      sleep 0.2
    done
    return 1
  }
  main=$(window '^Pyra3$') || fail "the installed program shows no main window"
  xdotool windowactivate --sync "$main" key --window "$main" alt+h sleep 0.5 key h
  # The window names the page it shows: the start page, not a notice about missing files.
  window '^Pyra3 ヘルプ - 目次$' >/dev/null || fail "the installed program does not open its help"
  xdotool windowactivate --sync "$main" key --window "$main" Escape
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "Esc does not end the program"
  xdotool search --onlyvisible --name '^Pyra3 ヘルプ' >/dev/null 2>&1 &&
    fail "the help window outlives the game"
  exit 0
fi

build=$1 id=$2 source=$(cd "$here/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ "${3:-}" = --package ]; then
  "$source/tools/package.sh" --quick "$build" "$work"
  deb=$(ls "$work"/pyra3_*.deb)
  # Root's entries only; directories and the program 0755, every other file 0644.
  odd=$(dpkg-deb -c "$deb" | awk '$2 != "root/root" ||
    !($1 == "drwxr-xr-x" || $1 == "-rw-r--r--" || ($1 == "-rwxr-xr-x" && $6 == "./usr/games/pyra3"))')
  [ -z "$odd" ] || { echo "install_check: wrong owner or mode in the package:"$'\n'"$odd" >&2; exit 1; }
  dpkg -x "$deb" "$work/root"
  prefix=$work/root/usr program=games/pyra3
else
  prefix=$work/prefix program=bin/pyra3
  cmake --install "$build" --prefix "$prefix" >/dev/null
fi
desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >"$work/appstream.log" ||
  { cat "$work/appstream.log" >&2; exit 1; }

expect=("$program" share/pyra3/pyra3.qch share/pyra3/pyra3.qhc share/man/man6/pyra3.6.gz
  share/doc/pyra3/copyright share/doc/pyra3/changelog.gz)
# The music and the cues are checked once they are part of the tree.
for sound in teku2.mid JAN.WAV JU.WAV BO.WAV TON.WAV; do
  [ -n "$(cd "$source" && git ls-files "assets/$sound" 2>/dev/null)" ] && expect+=("share/pyra3/$sound")
done
for file in "${expect[@]}"; do
  [ -f "$prefix/$file" ] || { echo "install_check: $file is not installed" >&2; exit 1; }
done
for size in 16 22 32 48 64 128 256; do
  icon=share/icons/hicolor/${size}x${size}/apps/$id.png
  [ "$(identify -format '%wx%h' "$prefix/$icon" 2>/dev/null)" = "${size}x${size}" ] ||
    { echo "install_check: $icon is not a ${size}x${size} picture" >&2; exit 1; }
done

# A display number taken by someone else at the same moment is tried again.
for attempt in 1 2 3; do
  status=0
  "$here/with_display.sh" bash "$here/install_check.sh" --drive "$prefix" "$program" || status=$?
  [ "$status" -ne 1 ] && break
  echo "install_check: no display (attempt $attempt)" >&2
done
[ "$status" -eq 0 ] && echo "install_check: passed"
