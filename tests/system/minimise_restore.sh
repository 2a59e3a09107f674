#!/usr/bin/env bash
# A minimised game comes back whole when the window manager is asked to activate it, as a
# taskbar click does: the main window, its companions, the message, the caption, the clocks
# and the keyboard. Runs the real program under a real window manager (with_display.sh).
#   minimise_restore.sh path/to/pyra3
source "$(dirname "$0")/game_session.sh"
mapped() { for w in "$@"; do xwininfo -id "$w" 2>/dev/null | grep -q 'IsViewable' || return 1; done; }
unmapped() { for w in "$@"; do xwininfo -id "$w" 2>/dev/null | grep -q 'IsUnMapped' || return 1; done; }
title() { xprop -id "$1" _NET_WM_NAME | sed -n 's/^[^"]*"\(.*\)"$/\1/p'; }
titled() { [ "$(title "$1")" = "$2" ]; }
retitled() { [ "$(title "$1")" != "$2" ]; }
minimise_and_activate() {
  xdotool windowminimize "$main"
  within 5 unmapped "$main" "${companions[@]}" || fail "minimising left a window on screen"
  titled "$main" Pyra3 || fail "minimised caption is '$(title "$main")', not Pyra3"
  xdotool windowactivate "$main" 2>/dev/null
  within 5 mapped "$main" "${companions[@]}" || fail "activating did not bring every window back"
}

# The start-up demo: the message is shown and the computer plays both sides.
find_all() {
  main=$(find_window '^Pyra3$')
  companions=($(find_window '^NEXT$') $(find_window '^.A$') $(find_window '^.B$') $(find_window '^Message$'))
  [ -n "$main" ] && [ ${#companions[@]} = 4 ]
}
within 10 find_all || fail "the main window, NEXT, both score boxes and the demo message did not show"
minimise_and_activate
before=$(title "${companions[1]}")
within 5 retitled "${companions[1]}" "$before" || fail "the demo's computer clock did not run again"

# A real game, player A human against the computer: wait for the human clock's countdown.
xdotool key space
sleep 1
xdotool key Return
message=${companions[3]}
within 5 unmapped "$message" || fail "the message stayed after the game started"
companions=("${companions[@]:0:3}")
within 20 titled "$main" 'あと3秒です。' || fail "the human clock never counted down"
minimise_and_activate
unmapped "$message" || fail "restoring showed a message that was hidden"
titled "$main" 'あと3秒です。' || fail "restored caption is '$(title "$main")'"
within 5 titled "$main" 'あと2秒です。' || fail "the human clock did not run again"

# The keyboard reaches the game again: Esc ends it, and with it the single-instance lock.
xdotool key Escape
within 5 bash -c "! kill -0 $pid 2>/dev/null" || fail "Esc did not end the game"
wait "$pid" || fail "the game ended with status $?"
echo "minimise and restore: ok"
