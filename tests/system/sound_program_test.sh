#!/usr/bin/env bash
# The real program's sound, under tests/system/with_display.sh: sound_program_test.sh <pyra3>
# server (beside tools/with_sound_server.sh: music, cues, silence each heard as switched),
# no-server (a silent start that prints nothing and keeps both switches as the player set them)
# or restart (a server of its own, stopped mid-game and started again on its socket: music and
# cues come back, silently).
set -euo pipefail
program=$1 mode=$2 work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2 && exit 1; }
if [ "$mode" = server ]; then
  [ "$(pactl get-default-sink 2>/dev/null)" = pyra_null ] || fail "run under tools/with_sound_server.sh"
elif [ "$mode" = restart ]; then
  source "$(dirname "$0")/../../tools/sound_server.sh"
  trap 'StopSoundServer; rm -rf "$work"' EXIT
  StartSoundServer "$work/server"
else
  export PULSE_SERVER=unix:/nonexistent/pyra3 ALSA_CONFIG_PATH=/dev/null
fi
stored() { sqlite3 "$XDG_CONFIG_HOME/Pyra3/store.sqlite3" "SELECT value FROM store WHERE key='$1'"; }

# run <Music> <SoundEffect> <OpeningDemo> <command...>: the program runs while the command
# does, with `heard`, the sink's RMS amplitude; $rows adds stored values (", (...)").
run() {
  export XDG_CONFIG_HOME="$work/config$RANDOM" && mkdir -p "$XDG_CONFIG_HOME/Pyra3"
  sqlite3 "$XDG_CONFIG_HOME/Pyra3/store.sqlite3" "CREATE TABLE store(app TEXT NOT NULL,
    section TEXT NOT NULL, key TEXT NOT NULL, value TEXT NOT NULL, PRIMARY KEY (app, section, key));
    INSERT INTO store VALUES ('Pyra3','Pyra3','Music','$1'), ('Pyra3','Pyra3','SoundEffect','$2'),
    ('Pyra3','Pyra3','OpeningDemo','$3') ${rows:-};"
  local recorder="" window="" app
  if [ "$mode" = server ]; then
    parecord --device=@DEFAULT_MONITOR@ --file-format=wav --latency-msec=20 "$work/heard.wav" &
    recorder=$!
  fi
  "$program" >"$work/printed.txt" 2>&1 &
  app=$!
  "${@:4}"
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

# The index of the program's music stream on the sink, if there is one: FluidSynth's newest (the
# one that tried the server at the start may still be closing).
music_stream() {
  pactl list sink-inputs | awk '/^Sink Input #/ {i = substr($3, 2)}
    /application.name = "FluidSynth"/ {s = i} END {if (s != "") print s}'
}
# record <seconds> <source>: the RMS amplitude heard there.
record() {
  parecord "$2" --file-format=wav --latency-msec=20 "$work/part.wav" &
  local recorder=$!
  sleep "$1"
  kill "$recorder" && wait "$recorder" || true
  sox "$work/part.wav" -n stat 2>&1 | awk '/RMS +amp/ {print $3}'
}
# Waits up to 8 s for the music stream (`found` the time), then sets music, what it plays over
# 2 s, and cues, what the sink hears over 3 s with it muted ("none" without it); true when both
# are heard.
measure() {
  local stream
  music=none cues=none
  for _ in $(seq 16); do stream=$(music_stream) && [ -n "$stream" ] && break || sleep 0.5; done
  [ -n "$stream" ] || return 1
  found=$EPOCHREALTIME music=$(record 2 --monitor-stream="$stream")
  pactl set-sink-input-mute "$stream" 1
  cues=$(record 3 --device=@DEFAULT_MONITOR@)
  pactl set-sink-input-mute "$stream" 0
  awk "BEGIN { exit !($music > 0.002 && $cues > 0.002) }"
}
# In the middle of a computers' game: both heard, the server stopped and another started on its
# socket, both heard again within seconds, and the program still running. Qt tries the server
# once, 3 s after losing it: cues come back only from a server that answers by then.
restart() {
  sleep 3
  measure || fail "at the start: music $music, cues $cues"
  local before="music $music, cues $cues" stopped answered
  StopSoundServer
  stopped=$EPOCHREALTIME
  StartSoundServer "$work/server"
  answered=$(awk "BEGIN { print $sound_server_answered - $stopped }")
  kill -0 "$app" || fail "the program ended with the server"
  if ! measure; then
    awk "BEGIN { exit !($music > 0.002 && $answered > 2.5) }" ||
      fail "after the restart: music $music, cues $cues (before: $before)"
    echo "cues not checked: the new server answered only $answered s after the stop"
  fi
  echo "restart: $before; the new server answered after $answered s, music back after" \
    "$(awk "BEGIN { print $found - $stopped }") s, music $music, cues $cues"
}

# A server that comes after the start (the window shown, the music opened) starts no music: only
# a stream that played revives.
late() {
  for _ in $(seq 200); do
    xdotool search --onlyvisible --name '^Pyra3$' >/dev/null 2>&1 && break || sleep 0.1
  done
  sleep 1
  StartSoundServer "$work/server"
  sleep 4
  [ -z "$(music_stream)" ] || fail "music started with a server that came after the start"
}

if [ "$mode" = restart ]; then
  rows=", ('Pyra3','Pyra3','PlayerA','1'), ('Pyra3','Pyra3','PlayerB','1')"
  run 1 1 0 restart
  StopSoundServer
  run 1 1 0 late
  echo "late server: no music, nothing printed" && exit 0
fi
if [ "$mode" = no-server ]; then
  run 1 1 1 sleep 2
  [ "$(stored Music)$(stored SoundEffect)" = 11 ] || fail "the player's Music or SoundEffect turned off"
  echo "no server: silent start, nothing printed, Music=1 and SoundEffect=1 kept" && exit 0
fi
run 1 0 0 sleep 2
loud && [ "$(stored Music)" = 1 ] && echo "music on: RMS $heard within 2 s of the start" ||
  fail "music on: RMS $heard within 2 s, Music=$(stored Music)"
run 0 1 1 sleep 4
loud && echo "music off, effects on, demo: RMS $heard" || fail "demo placements: RMS $heard"
run 0 1 0 sleep 3
! loud && [ "$(stored Music)" = 0 ] && echo "music off, no placements: RMS $heard" ||
  fail "music off, no placements: RMS $heard"
