#!/usr/bin/env bash
# A long computer-against-computer series on a private display beside a private sound server,
# with the program's memory sampled as it goes: one CSV line per sample on standard output
# (seconds, VmRSS, Pss, Private_Dirty in kB, threads, descriptors, games finished so far).
#   soak.sh [--minutes M] [--every S] [--cells CxR] [--music 0|1] [--effects 0|1] [--program P]
#           [-- WRAPPER...]
# --cells gives the board (default 19x13, a 608×435 window); a wrapper (heaptrack, valgrind)
# runs the program under it. The series ends with Esc, through the normal shut-down; the main
# window's size and what the program printed go to standard error.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
minutes=10 every=30 cells=19x13 music=1 effects=1 program=$here/build/pyra3 wrapper=()
while [ $# -gt 0 ]; do
  case "$1" in
    --minutes) minutes=$2; shift 2 ;;
    --every) every=$2; shift 2 ;;
    --cells) cells=$2; shift 2 ;;
    --music) music=$2; shift 2 ;;
    --effects) effects=$2; shift 2 ;;
    --program) program=$(realpath "$2"); shift 2 ;;
    --) shift; wrapper=("$@"); break ;;
    *) sed -n '5,6p' "$0" >&2; exit 2 ;;
  esac
done

if [ -z "${PYRA_SOAK_INSIDE:-}" ]; then
  export PYRA_SOAK_INSIDE=1
  exec "$here/tools/with_sound_server.sh" "$here/tests/system/with_display.sh" \
    "$0" --minutes "$minutes" --every "$every" --cells "$cells" --music "$music" \
    --effects "$effects" --program "$program" -- "${wrapper[@]}"
fi

# Here on the private display: a store where both sides are the computer and the series has
# no end, so that no question comes between games (each waits for the space bar, below).
mkdir -p "$XDG_CONFIG_HOME/Pyra3"
store=$XDG_CONFIG_HOME/Pyra3/store.sqlite3
# Window sizes in twips at 96 DPI, half a cell over the board so that the nearest whole number
# of cells is the one asked for, with or without the window manager's frame; 19 is the menu bar.
twips() { echo $((($1 * 32 + 16 + $2) * 15)); }
sqlite3 "$store" "CREATE TABLE store(app TEXT NOT NULL, section TEXT NOT NULL, key TEXT NOT NULL,
  value TEXT NOT NULL, PRIMARY KEY (app, section, key));
  INSERT INTO store VALUES ('Pyra3','Pyra3','PlayerA','1'), ('Pyra3','Pyra3','PlayerB','1'),
  ('Pyra3','Pyra3','FormOfGame','10'), ('Pyra3','Pyra3','Music','$music'),
  ('Pyra3','Pyra3','SoundEffect','$effects'), ('Pyra3','Pyra3','OpeningDemo','0'),
  ('Pyra3','Pyra3','Width','$(twips "${cells%x*}" 0)'),
  ('Pyra3','Pyra3','Height','$(twips "${cells#*x}" 19)');"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"${wrapper[@]}" "$program" >"$work/printed.txt" 2>&1 &
launched=$!
# The program itself, also when a wrapper starts it as a child.
pid=""
for _ in $(seq 100); do
  for p in $launched $(pgrep -P "$launched" || true); do
    [ "$(readlink /proc/"$p"/exe 2>/dev/null)" = "$program" ] && pid=$p && break 2
  done
  sleep 0.1
done
[ -n "$pid" ] || pid=$launched  # under valgrind, whose process is named otherwise
main=""
for _ in $(seq 300); do
  main=$(xdotool search --all --onlyvisible --pid "$pid" --name '^Pyra3$' 2>/dev/null | head -1) &&
    [ -n "$main" ] && break
  sleep 0.1
done
kb() { awk -v k="$1:" '$1 == k { s += $2 } END { print s + 0 }' "$work/$2"; }
echo "seconds,rss_kB,pss_kB,private_dirty_kB,threads,fds,games"
games=0 start=$SECONDS next=$SECONDS end=$((SECONDS + minutes * 60))
while kill -0 "$pid" 2>/dev/null; do
  if [ "$SECONDS" -ge "$next" ]; then
    { cp /proc/"$pid"/status "$work" && cp /proc/"$pid"/smaps_rollup "$work"; } || break
    fds=$(find /proc/"$pid"/fd -mindepth 1 | wc -l)
    rss=$(kb VmRSS status) pss=$(kb Pss smaps_rollup) dirty=$(kb Private_Dirty smaps_rollup)
    echo "$((SECONDS - start)),$rss,$pss,$dirty,$(kb Threads status),$fds,$games"
    [ "$SECONDS" -lt "$end" ] || break
    next=$((next + every))
  fi
  # A finished game waits for the space bar under its result message: the next one starts.
  message=$(xdotool search --all --onlyvisible --pid "$pid" --name '^Message$' 2>/dev/null |
    head -1) || true
  if [ -n "$message" ]; then
    xdotool key --window "$message" space 2>/dev/null && games=$((games + 1))
    sleep 1
  fi
  sleep 1
done
[ -z "$main" ] || xdotool getwindowgeometry "$main" | awk '/Geometry/ {print "window:", $2}' >&2
[ -z "$main" ] || xdotool key --window "$main" Escape
for _ in $(seq 600); do kill -0 "$launched" 2>/dev/null && sleep 0.1; done
kill -0 "$launched" 2>/dev/null && { echo "Esc did not end the program" >&2; kill "$launched"; }
wait "$launched" || echo "the program ended with status $?" >&2
cat "$work/printed.txt" >&2
