#!/usr/bin/env bash
# The program as a screen reader meets it: on a real X server, with a
# session bus and an accessibility bus of its own, Japanese text is typed
# and the focused editor is read back through the accessibility bus (role,
# caret offset, the line and the character before the caret). Every wait
# has a time limit. Exits with 77 (skipped) when the X tools, the bus or
# the accessibility packages are missing or the bus cannot start.
set -euo pipefail
program=${1:?usage: atspi_smoke.sh path/to/yomikaki}
here=$(cd "$(dirname "$0")" && pwd)
skip() { echo "skipped: $*"; exit 77; }
for tool in Xvfb xdotool wmctrl openbox dbus-daemon dbus-send; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
[[ -x /usr/libexec/at-spi-bus-launcher ]] || skip "at-spi2-core is not installed"
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi is not installed"

. "$(dirname "$0")/x_common.sh"

x_display
unset QT_LINUX_ACCESSIBILITY_ALWAYS_ON
mkdir -p "$work/wm" "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
x_window_manager

# A session bus of our own; the accessibility bus it starts keeps its
# socket in our runtime folder, beside nobody else's.
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime"
dbus-daemon --session --nofork --print-address=3 3>"$work/bus" 2>"$work/bus.log" &
pids+=($!)
wait_for 10 test -s "$work/bus" || skip "the session bus did not start: $(cat "$work/bus.log")"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")
export DBUS_SESSION_BUS_ADDRESS
# The accessibility bus, started and switched on as a desktop does when a
# screen reader runs.
timeout 15 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
  >/dev/null 2>&1 || skip "the accessibility bus did not start"
timeout 15 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
  org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled variant:boolean:true >/dev/null

doc="$work/doc.txt"
printf 'abc\r\n' >"$doc"
mkdir -p "$work/config"
XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb "$program" "$doc" >"$work/out.log" 2>&1 &
pid=$!
pids+=("$pid")
wid=$(timeout 20 xdotool search --sync --onlyvisible --name "doc.txt - Yomikaki\$" | head -n 1) || fail "no window"
[[ -n $wid ]] || fail "no window"
timeout 10 xdotool windowactivate --sync "$wid" || fail "window not activated"

# After the last line end: "abc\n日本語", the caret after 語. xdotool types
# a character the keyboard map lacks by changing the map for that key, and
# a busy program may read the map only after it was changed back, so any
# such key may not arrive: a first character that may or may not arrive is
# selected and typed over, and the line is typed again (over itself) until
# the editor holds it.
xdotool key ctrl+End
xdotool type --delay 100 'あ'
sleep 0.3
typed=
for _ in 1 2 3; do
  xdotool key shift+Home
  xdotool type --delay 100 '日本語'
  if timeout 40 /usr/bin/python3 "$here/atspi_probe.py" 7 '日本語' '語'; then
    typed=yes
    break
  fi
done
[[ -n $typed ]] || fail "$(tail -n 5 "$work/out.log")"

# The tool bar's search box, clicked and typed into: Enter finds the next
# match, and the caret panel follows the match although the editor, which
# reports its own caret moves, does not have the focus.
xdotool key Return
xdotool type --delay 60 'x needle'
xdotool key ctrl+Home
where=$(timeout 40 /usr/bin/python3 "$here/atspi_window.py" box) || fail "no search box"
# shellcheck disable=SC2086  # X and Y as two words
xdotool mousemove --sync $where click 1
sleep 0.3
xdotool type --delay 60 'needle'
xdotool key Return
timeout 40 /usr/bin/python3 "$here/atspi_window.py" label '\s*3\[3\] 行:' ||
  fail "the caret panel did not follow the match"
echo "ok: Enter in the search box found the match, and the caret panel shows its row"
