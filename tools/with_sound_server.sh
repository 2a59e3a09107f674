#!/usr/bin/env bash
# Runs a command beside a private PulseAudio server whose one output is a null sink: what is
# played there can be recorded from its monitor ("@DEFAULT_MONITOR@"). The command sees
# PULSE_SERVER pointing at the server, which also survives with_display.sh's private
# XDG_RUNTIME_DIR. The server is stopped by its PID afterwards, whatever the command did.
# Exits with the command's status.
#   with_sound_server.sh command [args...]
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: $0 command..." >&2; exit 2; }

work=$(mktemp -d)
pids=()
cleanup() {
  # The helpers first, then the server.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -m 700 "$work/runtime" "$work/home"
cat >"$work/server.pa" <<CONFIG
load-module module-null-sink sink_name=pyra_null rate=44100
set-default-sink pyra_null
load-module module-native-protocol-unix auth-anonymous=1 socket=$work/native
CONFIG
# --system=false and the private HOME let it run as root too (CI), as a user server; off the
# session bus, so that it never stands in for the desktop's own server.
env -u DBUS_SESSION_BUS_ADDRESS HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
  XDG_CONFIG_HOME="$work/home" pulseaudio -n -F "$work/server.pa" --daemonize=no \
  --system=false --exit-idle-time=-1 --use-pid-file=false --log-target=file:"$work/server.log" &
pids+=($!)
export PULSE_SERVER="unix:$work/native"
for _ in $(seq 100); do
  pactl info >/dev/null 2>&1 && break
  sleep 0.05
done
pactl info >/dev/null 2>&1 || { echo "the sound server did not start" >&2; cat "$work/server.log" >&2; exit 1; }
# A null sink left alone renders in blocks of up to two seconds, and its monitor wakes up
# as slowly; a sound card runs in real time. A silent stream into the sink and a reader of
# its monitor, both of low latency, keep them so, and recordings on the wall clock.
pacat --playback --latency-msec=20 --raw --format=s16le --channels=1 --rate=44100 /dev/zero &
pids+=($!)
parecord --device=@DEFAULT_MONITOR@ --latency-msec=20 --raw /dev/null &
pids+=($!)
# Ready once a new recording receives sound data (the first seconds it does not).
ready=0
for _ in $(seq 40); do
  bytes=$(timeout 0.25 parecord --device=@DEFAULT_MONITOR@ --latency-msec=20 --raw | wc -c) || true
  if [ "$bytes" -gt 0 ]; then ready=1; break; fi
done
[ "$ready" = 1 ] || { echo "the sound server records nothing" >&2; exit 1; }

set +e
"$@"
status=$?
set -e
exit "$status"
