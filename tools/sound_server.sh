# For sourcing: a private PulseAudio server whose one output is a null sink, so that what is
# played there can be recorded from its monitor ("@DEFAULT_MONITOR@").
#   StartSoundServer <folder>  starts one with its socket at <folder>/native (the same socket
#       again after a stop), exports PULSE_SERVER, sets sound_server_answered to the time
#       ($EPOCHREALTIME) it first answered, and returns once a recording of the sink receives
#       data; false, with the server's log on stderr, when it does not.
#   StopSoundServer            stops it and its helpers by their PIDs.
sound_server_pids=()

StartSoundServer() {
  local folder=$1
  mkdir -p -m 700 "$folder/runtime" "$folder/home"
  cat >"$folder/server.pa" <<CONFIG
load-module module-null-sink sink_name=pyra_null rate=44100
set-default-sink pyra_null
load-module module-native-protocol-unix auth-anonymous=1 socket=$folder/native
CONFIG
  # --system=false and the private HOME let it run as root too (CI), as a user server; off
  # the session bus, so that it never stands in for the desktop's own server.
  env -u DBUS_SESSION_BUS_ADDRESS HOME="$folder/home" XDG_RUNTIME_DIR="$folder/runtime" \
    XDG_CONFIG_HOME="$folder/home" pulseaudio -n -F "$folder/server.pa" --daemonize=no \
    --system=false --exit-idle-time=-1 --use-pid-file=false \
    --log-target=file:"$folder/server.log" &
  sound_server_pids+=($!)
  export PULSE_SERVER="unix:$folder/native"
  for _ in $(seq 100); do
    pactl info >/dev/null 2>&1 && break
    sleep 0.05
  done
  pactl info >/dev/null 2>&1 ||
    { echo "the sound server did not start" >&2; cat "$folder/server.log" >&2; return 1; }
  sound_server_answered=$EPOCHREALTIME
  # A null sink left alone renders in blocks of up to two seconds, and its monitor wakes up
  # as slowly; a sound card runs in real time. A silent stream into the sink and a reader of
  # its monitor, both of low latency, keep them so, and recordings on the wall clock.
  pacat --playback --latency-msec=20 --raw --format=s16le --channels=1 --rate=44100 /dev/zero &
  sound_server_pids+=($!)
  parecord --device=@DEFAULT_MONITOR@ --latency-msec=20 --raw /dev/null &
  sound_server_pids+=($!)
  # Ready once a new recording receives sound data (the first seconds it does not).
  local bytes
  for _ in $(seq 40); do
    bytes=$(timeout 0.25 parecord --device=@DEFAULT_MONITOR@ --latency-msec=20 --raw | wc -c) ||
      true
    [ "$bytes" -gt 0 ] && return 0
  done
  echo "the sound server records nothing" >&2
  return 1
}

StopSoundServer() {
  # The helpers first, then the server.
  local i
  for ((i = ${#sound_server_pids[@]} - 1; i >= 0; i--)); do
    kill "${sound_server_pids[i]}" 2>/dev/null || true
    wait "${sound_server_pids[i]}" 2>/dev/null || true
  done
  sound_server_pids=()
}
