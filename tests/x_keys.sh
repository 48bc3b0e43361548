#!/usr/bin/env bash
# Keys on a real X server (Xvfb with a small window manager): a box made
# with Alt+Shift and the arrows stays a box through Shift alone and through
# the conversion key, and the search boxes keep the case and length of what
# is typed, one Enter closing the dialog. Every wait has a time limit. Exits
# with 77 (skipped) when the X tools are not installed.
set -euo pipefail
program=${1:?usage: x_keys.sh path/to/yomikaki}
. "$(dirname "$0")/x_common.sh"
x_require Xvfb xdotool wmctrl openbox

# A display of our own. The window manager binds no keys: openbox's own
# configuration takes Shift+Alt with the arrows (as most take Alt with the
# mouse), which would never reach any program.
x_display
mkdir -p "$work/wm/openbox"
cat >"$work/wm/openbox/rc.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc"><keyboard></keyboard><mouse></mouse></openbox_config>
XML
x_window_manager

# start NAME FILE [SETTINGS]: the program on FILE with a scratch
# configuration (holding SETTINGS as Yomikaki.ini) and runtime folder; sets
# pid and wid (its main window, active).
start() {
  local home="$work/$1"
  mkdir -p "$home/config/yomikaki" "$home/runtime"
  chmod 700 "$home/runtime"
  [[ -z ${3:-} ]] || printf '%b' "$3" >"$home/config/yomikaki/Yomikaki.ini"
  XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/runtime" QT_QPA_PLATFORM=xcb \
    "$program" "$2" >"$home/out.log" 2>&1 &
  pid=$!
  pids+=("$pid")
  wid=$(timeout 20 xdotool search --sync --onlyvisible --name "$(basename "$2") - Yomikaki\$" | head -n 1) ||
    fail "$1: no window"
  [[ -n $wid ]] || fail "$1: no window"
  timeout 10 xdotool windowactivate --sync "$wid" || fail "$1: window not activated"
}

# A dialog NAME of the program has the focus.
dialog_up() { [[ $(xdotool getactivewindow getwindowname 2>/dev/null) == "$1" ]]; }
main_up() { [[ $(xdotool getactivewindow 2>/dev/null) == "$wid" ]]; }

# close NAME: the window manager's close request; the process must end.
close() {
  wmctrl -i -c "$wid"
  wait_for 15 gone "$pid" || fail "$1: still running after the close request"
}

keys() { xdotool key --delay 60 "$@"; }

# A box from the keyboard, Shift pressed alone, then 全角に変換: only the box
# changes, and Ctrl+S saves it.
doc="$work/box.txt"
printf 'abcd\r\nefgh\r\nijkl\r\n' >"$doc"
printf 'a\x82\x82\x82\x83d\r\ne\x82\x86\x82\x87h\r\nijkl\r\n' >"$work/box.expected"  # aｂｃd eｆｇh
start box "$doc"
keys ctrl+Home Right alt+shift+Right alt+shift+Right alt+shift+Down shift ctrl+shift+h ctrl+s
expect_saved box "$doc" "$work/box.expected"
close box
echo "ok: a box made with the keys converted alone"

# The replace dialog with "xyz" and "abcd" in the histories: "XYZ" stays
# upper case, "ab" stays "ab", and replace-all ends with its count.
doc="$work/search.txt"
printf 'ab abcd ab\r\n' >"$doc"
printf 'XYZ XYZcd XYZ\r\n' >"$work/search.expected"
start search "$doc" '[Hist]\r\nlist_ItemCount=2\r\nlist_Item0=abcd\r\nlist_Item1=XYZcdef\r\n'\
'[RepHist]\r\nlist_ItemCount=1\r\nlist_Item0=xyz\r\n'
keys ctrl+r
wait_for 10 dialog_up "置換" || fail "search: no replace dialog"
xdotool type --delay 60 ab
keys Tab
xdotool type --delay 60 XYZ
keys alt+p alt+a  # no question per place, then replace all
wait_for 10 dialog_up "情報" || fail "search: no count at the end of replace-all"
keys Return
wait_for 10 main_up || fail "search: the box did not close"
keys ctrl+s
expect_saved search "$doc" "$work/search.expected"
# Find with one Enter: the dialog closes and "XYZc" (the start of a listed
# text) is found as typed.
keys ctrl+Home ctrl+f
wait_for 10 dialog_up "検索" || fail "search: no find dialog"
xdotool type --delay 60 XYZc
keys Return
wait_for 10 main_up || fail "search: one Enter did not close the find dialog"
keys ctrl+x ctrl+s
printf 'XYZ d XYZ\r\n' >"$work/search.expected"
expect_saved find "$doc" "$work/search.expected"
close search
echo "ok: search texts kept as typed"

# Match case on, "abc" in the history: "ABC" is searched as typed and finds
# the upper-case word only.
doc="$work/case.txt"
printf 'abc ABC\r\n' >"$doc"
printf 'abc \r\n' >"$work/case.expected"
start case "$doc" '[Hist]\r\nlist_ItemCount=1\r\nlist_Item0=abc\r\n[Options]\r\nMatchCase=1\r\n'
keys ctrl+f
wait_for 10 dialog_up "検索" || fail "case: no find dialog"
xdotool type --delay 60 ABC
keys Return
wait_for 10 main_up || fail "case: one Enter did not close the find dialog"
keys ctrl+x ctrl+s
expect_saved case "$doc" "$work/case.expected"
close case
echo "ok: match case finds what was typed"
