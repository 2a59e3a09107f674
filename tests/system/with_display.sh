#!/usr/bin/env bash
# Runs a command on a private X display of its own (Xvfb), under the openbox window manager
# unless --no-wm is given, and stops both afterwards. The command sees DISPLAY, and
# XDG_RUNTIME_DIR and XDG_CONFIG_HOME in a temporary folder, so that nothing touches the
# user's settings. Exits with the command's status.
#   with_display.sh [--no-wm] [--size WxH] command [args...]
set -euo pipefail
wm=1
size=1280x1024
while [ $# -gt 0 ]; do
  case "$1" in
    --no-wm) wm=0; shift ;;
    --size) size="$2"; shift 2 ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--no-wm] [--size WxH] command..." >&2; exit 2; }

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number to the descriptor. Another server
# starting at the same moment may take the display it chose: then it gives up, and we try again.
number=""
for _ in 1 2 3; do
  exec {fd}<> <(:)
  Xvfb -displayfd "$fd" -screen 0 "${size}x24" -nolisten tcp >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do
    if read -r -t 0.1 -u "$fd" number && [ -n "$number" ]; then break 2; fi
    kill -0 "${pids[-1]}" 2>/dev/null || break
  done
done
[ -n "$number" ] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$number"
mkdir -m 700 "$work/runtime" "$work/config"
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

if [ "$wm" = 1 ]; then
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  pids+=($!)
  # Ready once it has claimed the window manager selection.
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
  done
fi

set +e
"$@"
status=$?
set -e
exit "$status"
