#!/usr/bin/env bash
# Runs a command on a private headless Wayland desktop, as a Wayland session offers it: weston
# with XWayland, and a PulseAudio server with a silent output. The command sees
# WAYLAND_DISPLAY, DISPLAY (XWayland's), XDG_SESSION_TYPE=wayland, no QT_QPA_PLATFORM, and
# XDG_RUNTIME_DIR and XDG_CONFIG_HOME in a temporary folder, so that nothing touches the
# user's settings. `weston-screenshooter`, run by the command, saves a picture of the desktop
# in the current folder. Everything started here is stopped by its id afterwards. Exits with
# the command's status.
#   wayland_session.sh command [args...]
#   e.g. tools/wayland_session.sh sh -c 'build/pyra3 & sleep 5; weston-screenshooter; kill $!'
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: $0 command..." >&2; exit 2; }

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -m 700 "$work/runtime" "$work/config"
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
unset QT_QPA_PLATFORM DISPLAY WAYLAND_DISPLAY XDG_SESSION_TYPE

# The sound server keeps its cookie in the temporary folder too.
HOME="$work" pulseaudio -n --daemonize=no --exit-idle-time=-1 --disable-shm=yes \
  --load=module-null-sink --load=module-native-protocol-unix >"$work/pulseaudio.log" 2>&1 &
pids+=($!)
socket="pyra3-$$"
weston --backend=headless-backend.so --use-pixman --debug --xwayland --socket="$socket" \
  --idle-time=0 --log="$work/weston.log" >"$work/weston-output.log" 2>&1 &
weston=$!
pids+=("$weston")
# Ready once both sockets are there and weston has told XWayland's display.
display=""
for _ in $(seq 100); do
  if [ -S "$XDG_RUNTIME_DIR/pulse/native" ] && [ -S "$XDG_RUNTIME_DIR/$socket" ]; then
    display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log")
    [ -n "$display" ] && break
  fi
  kill -0 "$weston" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$display" ]; then
  echo "The Wayland session did not start" >&2
  cat "$work/weston-output.log" "$work/weston.log" "$work/pulseaudio.log" >&2 2>/dev/null || true
  exit 1
fi
export WAYLAND_DISPLAY="$socket" DISPLAY="$display" XDG_SESSION_TYPE=wayland

set +e
"$@"
status=$?
set -e
exit "$status"
