#!/usr/bin/env bash
# The real program's sound, under tests/system/with_display.sh: sound_program_test.sh <pyra3>
# server (beside tools/with_sound_server.sh: music, cues, silence each heard as switched) or
# no-server (a silent start that prints nothing and keeps both switches as the player set them).
set -euo pipefail
program=$1 mode=$2 work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2 && exit 1; }
if [ "$mode" = server ]; then
  [ "$(pactl get-default-sink 2>/dev/null)" = pyra_null ] || fail "run under tools/with_sound_server.sh"
else
  export PULSE_SERVER=unix:/nonexistent/pyra3 ALSA_CONFIG_PATH=/dev/null
fi
stored() { sqlite3 "$XDG_CONFIG_HOME/Pyra3/store.sqlite3" "SELECT value FROM store WHERE key='$1'"; }

# run <Music> <SoundEffect> <OpeningDemo> <seconds>: a run with `heard`, the sink's RMS amplitude.
run() {
  export XDG_CONFIG_HOME="$work/config$RANDOM" && mkdir -p "$XDG_CONFIG_HOME/Pyra3"
  sqlite3 "$XDG_CONFIG_HOME/Pyra3/store.sqlite3" "CREATE TABLE store(app TEXT NOT NULL,
    section TEXT NOT NULL, key TEXT NOT NULL, value TEXT NOT NULL, PRIMARY KEY (app, section, key));
    INSERT INTO store VALUES ('Pyra3','Pyra3','Music','$1'), ('Pyra3','Pyra3','SoundEffect','$2'),
    ('Pyra3','Pyra3','OpeningDemo','$3');"
  local recorder="" window="" app
  if [ "$mode" = server ]; then
    parecord --device=@DEFAULT_MONITOR@ --file-format=wav --latency-msec=20 "$work/heard.wav" &
    recorder=$!
  fi
  "$program" >"$work/printed.txt" 2>&1 &
  app=$!
  sleep "$4"
  [ -z "$recorder" ] || { kill "$recorder" && wait "$recorder" || true; }
  for _ in $(seq 200); do
    window=$(xdotool search --onlyvisible --name '^Pyra3$' 2>/dev/null | head -n 1)
    [ -n "$window" ] && break || sleep 0.05
  done
  xdotool key --window "$window" Escape
  for _ in $(seq 200); do kill -0 "$app" 2>/dev/null && sleep 0.05; done
  kill -0 "$app" 2>/dev/null && kill "$app" && fail "Esc did not end the program"
  wait "$app" || fail "the program ended with status $?"
  [ ! -s "$work/printed.txt" ] || fail "printed: $(cat "$work/printed.txt")"
  [ -z "$recorder" ] || heard=$(sox "$work/heard.wav" -n stat 2>&1 | awk '/RMS +amp/ {print $3}')
}
loud() { awk "BEGIN { exit !($heard > 0.002) }"; }  # music and cues measure far above

if [ "$mode" = no-server ]; then
  run 1 1 1 2
  [ "$(stored Music)$(stored SoundEffect)" = 11 ] || fail "the player's Music or SoundEffect turned off"
  echo "no server: silent start, nothing printed, Music=1 and SoundEffect=1 kept" && exit 0
fi
run 1 0 0 2
loud && [ "$(stored Music)" = 1 ] && echo "music on: RMS $heard within 2 s of the start" ||
  fail "music on: RMS $heard within 2 s, Music=$(stored Music)"
run 0 1 1 4
loud && echo "music off, effects on, demo: RMS $heard" || fail "demo placements: RMS $heard"
run 0 1 0 3
! loud && [ "$(stored Music)" = 0 ] && echo "music off, no placements: RMS $heard" ||
  fail "music off, no placements: RMS $heard"
