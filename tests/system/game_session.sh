# Sourced by the scripts that drive the real program under with_display.sh: starts the game
# given as the script's first argument and offers what they share.
set -uo pipefail
"$1" 2>/dev/null &
pid=$!
trap 'kill $pid 2>/dev/null' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# Polls a condition for up to $1 seconds.
within() { local n=$(($1 * 10)); shift; for _ in $(seq "$n"); do "$@" && return 0; sleep 0.1; done; return 1; }
# The game's shown window whose title matches this pattern.
find_window() { xdotool search --all --onlyvisible --pid "$pid" --name "$1" 2>/dev/null | head -1; }
