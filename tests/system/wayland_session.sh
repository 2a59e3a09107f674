#!/usr/bin/env bash
# Under tools/wayland_session.sh: pyra3 shows X windows on XWayland; asked for Wayland, runs silently.
set -euo pipefail
out=$(mktemp)
on_x() { timeout "$1" xdotool search --sync --all --onlyvisible --pid "$pid" --name "$2" >/dev/null; }
fail() { echo "FAIL: $* $(cat "$out")" >&2; exit 1; }
"$1" >"$out" 2>&1 & pid=$!
trap 'kill $pid 2>/dev/null; rm -f "$out"' EXIT
for name in Pyra3 NEXT '[ >]?A( - .*)?' '[ >]?B( - .*)?'; do  # score captions: marker, name
  on_x 20 "^($name)\$" || fail "no X window named $name"
done
kill $pid; QT_QPA_PLATFORM=wayland "$1" >"$out" 2>&1 & pid=$!
sleep 4
kill -0 $pid && ! on_x 1 . && [ ! -s "$out" ] || fail "not natively and silently on Wayland:"
