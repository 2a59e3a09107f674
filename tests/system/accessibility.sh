#!/usr/bin/env bash
# Runs accessibility_test.py beside a private session bus that carries the desktop's
# accessibility bus, with the program's accessibility switched on as a screen reader's
# presence would. Runs under with_display.sh.
#   accessibility.sh path/to/pyra3
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
exec dbus-run-session -- bash -c '
  /usr/libexec/at-spi-bus-launcher --launch-immediately &
  launcher=$!
  /usr/bin/python3 "$1" "$2"
  status=$?
  kill $launcher 2>/dev/null
  exit $status' accessibility "$here/accessibility_test.py" "$1" 2> >(grep -v "^dbus-daemon\|SpiRegistry" >&2)
