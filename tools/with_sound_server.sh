#!/usr/bin/env bash
# Runs a command beside a private PulseAudio server whose one output is a null sink
# (tools/sound_server.sh): what is played there can be recorded from its monitor. The command
# sees PULSE_SERVER pointing at the server, which also survives with_display.sh's private
# XDG_RUNTIME_DIR. The server is stopped by its PID afterwards, whatever the command did.
# Exits with the command's status.
#   with_sound_server.sh command [args...]
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: $0 command..." >&2; exit 2; }
source "$(dirname "$0")/sound_server.sh"

work=$(mktemp -d)
trap 'StopSoundServer; rm -rf "$work"' EXIT
StartSoundServer "$work"

set +e
"$@"
status=$?
set -e
exit "$status"
