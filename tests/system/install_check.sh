#!/usr/bin/env bash
# Installs the program into a temporary prefix and checks it as a desktop sees it: the desktop
# entry and the AppStream data pass their validators, every file is in place, and the installed
# program, started on a private display, opens its help from the menu (トピックの検索) and
# closes it when Esc ends the game.
#   install_check.sh <build-folder> <app-id>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" = --drive ]; then
  "$2/bin/pyra3" &
  pid=$!
  # Status 3: the program failed; with_display.sh itself answers 1 when it gets no display.
  fail() { echo "install_check: $*" >&2; kill "$pid" 2>/dev/null || true; exit 3; }
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
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >"$prefix/appstream.log" ||
  { cat "$prefix/appstream.log" >&2; exit 1; }

expect=(bin/pyra3 share/pyra3/pyra3.qch share/pyra3/pyra3.qhc)
# The music is checked once it is part of the tree; until then there is nothing to install.
[ -n "$(cd "$source" && git ls-files '*teku2.mid' 2>/dev/null)" ] && expect+=(share/pyra3/teku2.mid)
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
  "$here/with_display.sh" bash "$here/install_check.sh" --drive "$prefix" || status=$?
  [ "$status" -ne 1 ] && break
  echo "install_check: no display (attempt $attempt)" >&2
done
[ "$status" -eq 0 ] && echo "install_check: passed"
