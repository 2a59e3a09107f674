#!/usr/bin/env bash
# The real program's music and cues, under tests/system/with_display.sh:
#   sound_program_test.sh <pyra3> server     beside tests/system/with_sound_server.sh: the
#       music is heard within two seconds of the start, the demo's placements are heard
#       with the music off, and nothing is heard with both silent
#   sound_program_test.sh <pyra3> no-server  nothing can play: a silent start that prints
#       nothing and saves both switches off
set -euo pipefail
program=$1
mode=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
# Music and cues measure well above this; the silent sink measures 0.
floor=0.002

if [ "$mode" = server ]; then
  [ "$(pactl get-default-sink 2>/dev/null)" = pyra_null ] ||
    fail "needs the private sound server: run under tests/system/with_sound_server.sh"
else
  export PULSE_SERVER=unix:/nonexistent/pyra3 ALSA_CONFIG_PATH=/dev/null
fi

stored() { sqlite3 "$XDG_CONFIG_HOME/Pyra3/store.sqlite3" "SELECT value FROM store WHERE key='$1'"; }
rms() { sox "$1" -n stat 2>&1 | awk '/RMS +amplitude/ {print $3}'; }

# run <music> <effects> <demo> <seconds>: starts the program with these stored switches,
# records the sink from the start for <seconds> (with a server), then ends it with Esc.
run() {
  export XDG_CONFIG_HOME="$work/config$RANDOM"
  mkdir -p "$XDG_CONFIG_HOME/Pyra3"
  sqlite3 "$XDG_CONFIG_HOME/Pyra3/store.sqlite3" \
    "CREATE TABLE store(app TEXT NOT NULL, section TEXT NOT NULL, key TEXT NOT NULL,
       value TEXT NOT NULL, PRIMARY KEY (app, section, key));
     INSERT INTO store VALUES ('Pyra3','Pyra3','Music','$1'), ('Pyra3','Pyra3','SoundEffect','$2'),
       ('Pyra3','Pyra3','OpeningDemo','$3');"
  local recorder=""
  if [ "$mode" = server ]; then
    parecord --device=@DEFAULT_MONITOR@ --file-format=wav --channels=1 --latency-msec=20 \
      "$work/heard.wav" &
    recorder=$!
  fi
  "$program" >"$work/printed.txt" 2>&1 &
  local app=$!
  sleep "$4"
  [ -n "$recorder" ] && { kill "$recorder"; wait "$recorder" || true; }
  local window=""
  for _ in $(seq 200); do
    window=$(xdotool search --onlyvisible --name '^Pyra3$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.05
  done
  [ -n "$window" ] || fail "no window"
  xdotool key --window "$window" Escape
  for _ in $(seq 200); do kill -0 "$app" 2>/dev/null || break; sleep 0.05; done
  kill -0 "$app" 2>/dev/null && { kill "$app"; fail "Esc did not end the program"; }
  wait "$app" || fail "the program ended with status $?"
  [ ! -s "$work/printed.txt" ] || fail "printed: $(cat "$work/printed.txt")"
}

if [ "$mode" = no-server ]; then
  run 1 1 1 2
  [ "$(stored Music)" = 0 ] || fail "Music saved as $(stored Music)"
  [ "$(stored SoundEffect)" = 0 ] || fail "SoundEffect saved as $(stored SoundEffect)"
  echo "no server: silent start, nothing printed, Music=0 and SoundEffect=0 saved"
  exit 0
fi

run 1 0 0 2
heard=$(rms "$work/heard.wav")
awk "BEGIN { exit !($heard > $floor) }" || fail "music on: RMS $heard within 2 s of the start"
[ "$(stored Music)" = 1 ] || fail "Music saved as $(stored Music)"
echo "music on: RMS $heard within 2 s of the start"

run 0 1 1 4
heard=$(rms "$work/heard.wav")
awk "BEGIN { exit !($heard > $floor) }" || fail "demo placements with effects: RMS $heard"
echo "music off, effects on, demo: RMS $heard"

run 0 1 0 3
heard=$(rms "$work/heard.wav")
awk "BEGIN { exit !($heard < $floor) }" || fail "music off and no placements: RMS $heard"
[ "$(stored Music)" = 0 ] || fail "Music saved as $(stored Music)"
echo "music off, no placements: RMS $heard"
