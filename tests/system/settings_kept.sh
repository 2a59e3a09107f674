#!/usr/bin/env bash
# The player's settings survive whatever ends the real program: SIGTERM, SIGINT and SIGHUP
# end it as its own exit does (status 0, everything saved), also with the settings dialog
# open; a save the store refuses (a lock held at exit, a full disk) leaves the store as it
# was and one line on standard error. Runs under with_display.sh.
#   settings_kept.sh path/to/pyra3
set -uo pipefail
program=$1 work=$(mktemp -d)
cleanup() {
  [ -z "${app:-}" ] || kill "$app" 2>/dev/null
  mountpoint -q "$work/full/Pyra3" && umount "$work/full/Pyra3"
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
within() { local n=$(($1 * 10)); shift; for _ in $(seq "$n"); do "$@" && return 0; sleep 0.1; done; return 1; }
store() { echo "$XDG_CONFIG_HOME/Pyra3/store.sqlite3"; }
keys() { sqlite3 "$(store)" "SELECT group_concat(key || '=' || value, ' ') FROM (SELECT * FROM store ORDER BY key)"; }
# A store as a player left it: the series format, no demo, the strongest level.
seed() {
  export XDG_CONFIG_HOME=$1 && mkdir -p "$XDG_CONFIG_HOME/Pyra3"
  sqlite3 "$(store)" "CREATE TABLE store(app TEXT NOT NULL, section TEXT NOT NULL,
    key TEXT NOT NULL, value TEXT NOT NULL, PRIMARY KEY (app, section, key));
    INSERT INTO store VALUES ('Pyra3','Pyra3','FormOfGame','3'), ('Pyra3','Pyra3','OpeningDemo','0'),
    ('Pyra3','Pyra3','Level','1');"
}
start() {
  "$program" 2>"$work/stderr" &
  app=$!
  shown() { main=$(xdotool search --onlyvisible --pid "$app" --name '^Pyra3$' 2>/dev/null | head -1); [ -n "$main" ]; }
  within 10 shown || fail "the main window did not show"
}
# Waits for the end and keeps its status in `status`.
ended() {
  within 10 eval '! kill -0 $app 2>/dev/null' || fail "the program did not end"
  wait "$app"; status=$?; app=""
}

for signal in TERM INT HUP; do
  seed "$work/$signal"
  start
  kill -s "$signal" "$app"
  ended
  [ "$status" = 0 ] || fail "SIG$signal: exit status $status"
  [ ! -s "$work/stderr" ] || fail "SIG$signal printed: $(cat "$work/stderr")"
  saved=$(keys)
  [[ "$saved" == *"FormOfGame=3 "*"Height="*"Level=1 "*"OpeningDemo=0 "* ]] ||
    fail "SIG$signal saved: $saved"
done
echo "SIGTERM, SIGINT, SIGHUP: status 0, every setting saved"

seed "$work/dialog"
start
xdotool windowactivate --sync "$main"
xdotool key alt+s
dialog() { xdotool search --onlyvisible --pid "$app" --name '^ゲームの設定$' >/dev/null 2>&1; }
within 5 dialog || fail "the settings dialog did not open"
kill -TERM "$app"
ended
[ "$status" = 0 ] || fail "SIGTERM with the dialog open: exit status $status"
[[ "$(keys)" == *"FormOfGame=3 "*"Width="* ]] || fail "SIGTERM with the dialog open saved: $(keys)"
echo "SIGTERM with the settings dialog open: status 0, saved"

# Another program's lock on the store, held by a second connection for $1 seconds; it waits
# its turn if the game is reading just then.
held() { ! sqlite3 "$(store)" "SELECT count(*) FROM sqlite_master" >/dev/null 2>&1; }
lock() {
  sqlite3 "$(store)" ".timeout 5000" "BEGIN EXCLUSIVE;" "INSERT INTO store VALUES ('x','x','x','x');" \
    ".shell sleep $1" &
  locker=$!
  within 5 held || fail "the test could not lock the store"
}
unlock() { wait "$locker"; ! held || fail "the test's lock stayed"; }

# Locked for two seconds at start-up: the game waits, then runs on the player's settings.
seed "$work/late"
lock 2
start
unlock
sleep 1
xdotool key --window "$main" Escape
ended
[[ "$(keys)" == *"FormOfGame=3 "*"Level=1 "*"OpeningDemo=0 "* ]] ||
  fail "a store locked at start-up was written over: $(keys)"
echo "store locked for 2 s at start-up: waited for, the player's settings kept"

# SIGTERM while start-up waits for the lock: the game ends as soon as it has started.
seed "$work/waiting"
lock 2
start
kill -TERM "$app"
unlock
ended
[ "$status" = 0 ] || fail "SIGTERM during start-up: exit status $status"
[[ "$(keys)" == *"FormOfGame=3 "*"Level=1 "*"OpeningDemo=0 "* ]] ||
  fail "SIGTERM during start-up saved: $(keys)"
echo "SIGTERM while start-up waits: ended once started, status 0, settings kept"

# A lock held at exit: the save fails whole, and says so once.
seed "$work/locked"
before=$(keys)
start
lock 3
xdotool key --window "$main" Escape
ended
unlock
[ "$status" = 0 ] || fail "exit with the store locked: status $status"
[ "$(keys)" = "$before" ] || fail "the locked store changed: $(keys)"
line="Pyra3: the settings could not be saved in $(store): database is locked"
[ "$(cat "$work/stderr")" = "$line" ] || fail "locked store, printed: $(cat "$work/stderr")"
echo "store locked at exit: unchanged, one line: $line"

# A full disk under the store's folder, where this machine lets us mount one.
mkdir -p "$work/full/Pyra3"
if mount -t tmpfs -o size=256k tmpfs "$work/full/Pyra3" 2>/dev/null; then
  seed "$work/full"
  before=$(keys)
  dd if=/dev/zero of="$work/full/Pyra3/filler" bs=4k 2>/dev/null
  start
  xdotool key --window "$main" Escape
  ended
  [ "$status" = 0 ] || fail "exit on a full disk: status $status"
  [ "$(keys)" = "$before" ] || fail "the store on the full disk changed: $(keys)"
  line="Pyra3: the settings could not be saved in $(store): database or disk is full"
  [ "$(cat "$work/stderr")" = "$line" ] || fail "full disk, printed: $(cat "$work/stderr")"
  echo "full disk at exit: unchanged, one line: $line"
else
  echo "full disk: not tried, this machine does not let the test mount a tmpfs"
fi
