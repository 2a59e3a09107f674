#!/usr/bin/env bash
# The about box has no title text, not even the application name that the toolkit puts into
# an empty title. Runs the real program under a real window manager (with_display.sh).
#   about_box_title.sh path/to/pyra3
source "$(dirname "$0")/game_session.sh"
found_main() { main=$(find_window '^Pyra3$'); [ -n "$main" ]; }
about_active() {
  about=$(xdotool getactivewindow 2>/dev/null) && [ "$about" != "$main" ] &&
    xwininfo -id "$about" | grep -q 'geometry 299x192'
}

within 10 found_main || fail "the main window did not show"
xdotool windowactivate --sync "$main"
xdotool key alt+h a  # ﾍﾙﾌﾟ(H), Pyra3について(A)
within 5 about_active || fail "the about box did not open"
# xprop shows an empty text as "" or as nothing at all.
for property in WM_NAME _NET_WM_NAME; do
  value=$(xprop -id "$about" "$property")
  [[ "$value" =~ \ =\ (\"\")?$ ]] || fail "the about box's title is not empty: $value"
done
echo "about box title: empty"
