#!/usr/bin/env bash
# The program on a real X server (Xvfb with a small window manager): text
# typed and saved with Ctrl+S, a question before Ctrl+S writes over a file
# another program changed, the window manager's close request, a row copied
# with Ctrl+C read back from the clipboard as UTF-8, and where the window
# manager puts the first window and the next. Every wait has a time limit.
# Exits with 77 (skipped) when the X tools are not installed.
set -euo pipefail
program=${1:?usage: x_smoke.sh path/to/yomikaki}
. "$(dirname "$0")/x_common.sh"
x_require Xvfb xdotool xclip wmctrl openbox xwininfo xprop

# A display of our own, whatever number is free, and a window manager for
# the close request.
x_display
x_window_manager

# start NAME FILE: the program on FILE with a scratch configuration and
# runtime folder; sets pid and wid (its main window, active).
start() {
  local home="$work/$1"
  mkdir -p "$home/config" "$home/runtime"
  chmod 700 "$home/runtime"
  XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/runtime" QT_QPA_PLATFORM=xcb \
    "$program" "$2" >"$home/out.log" 2>&1 &
  pid=$!
  pids+=("$pid")
  wid=$(timeout 20 xdotool search --sync --onlyvisible --name "$(basename "$2") - Yomikaki\$" | head -n 1) ||
    fail "$1: no window"
  [[ -n $wid ]] || fail "$1: no window"
  timeout 10 xdotool windowactivate --sync "$wid" || fail "$1: window not activated"
}

# close NAME: the window manager's close request; the process must end by
# itself, with exit code 0, and leave its settings file.
close() {
  wmctrl -i -c "$wid"
  wait_for 15 gone "$pid" || fail "$1: still running after the close request"
  wait "$pid" || fail "$1: exit code $?"
  [[ -f "$work/$1/config/yomikaki/Yomikaki.ini" ]] || fail "$1: no settings file"
}

# Typing and Ctrl+S: the CP932 text stays byte for byte after the typed text.
doc="$work/doc.txt"
printf '\x93\xfa\x96\x7b\x8c\xea\r\n' >"$doc"  # 日本語
printf 'abc\x93\xfa\x96\x7b\x8c\xea\r\n' >"$work/expected"
start typing "$doc"
xdotool type --delay 40 abc
xdotool key ctrl+s
expect_saved typing "$doc" "$work/expected"
close typing
echo "ok: typed, saved and closed"

# Another program appends to the open file: Ctrl+S asks before writing over
# it; No (Escape) keeps the other program's line, Yes (Enter) writes.
doc="$work/changed.txt"
printf 'one\r\n' >"$doc"
printf 'one\r\nNEW\r\n' >"$work/theirs"
printf 'Xone\r\n' >"$work/mine"
start changed "$doc"
xdotool type --delay 40 X
printf 'NEW\r\n' >>"$doc"
asking() { xdotool search --onlyvisible --name '^確認$' >/dev/null 2>&1; }
not_asking() { ! asking; }
xdotool key ctrl+s
wait_for 10 asking || fail "changed: no question before writing over the file"
xdotool key Escape
wait_for 10 not_asking || fail "changed: the question stays"
has_bytes "$doc" "$work/theirs" || fail "changed: written over after No: $(od -An -tx1 "$doc")"
xdotool key ctrl+s
wait_for 10 asking || fail "changed: no question the second time"
xdotool key Return
wait_for 10 has_bytes "$doc" "$work/mine" || fail "changed: not written after Yes: $(od -An -tx1 "$doc")"
close changed
echo "ok: asked before writing over a file another program changed"

# Ctrl+C of the first row: the clipboard holds it as UTF-8.
doc="$work/copy.txt"
printf '\x82\xa0\x82\xa2\x82\xa4 ABC\r\n\x93\xf1\x8d\x73\x96\xda\r\n' >"$doc"  # あいう ABC / 二行目
start copy "$doc"
xdotool key Home shift+End ctrl+c
copied() { [[ $(timeout 5 xclip -o -selection clipboard 2>/dev/null) == "あいう ABC" ]]; }
wait_for 10 copied || fail "copy: clipboard holds '$(timeout 5 xclip -o -selection clipboard 2>&1 || true)'"
close copy
echo "ok: copied as UTF-8"

# The first start: the window manager places the window, title bar on the
# screen; the settings keep where its frame was, and the next start puts
# the frame there again (not one title bar higher each time).
frame() {  # "left top" of window $1's frame
  local ax ay extents
  ax=$(xwininfo -id "$1" | awk '/Absolute upper-left X/ {print $NF}')
  ay=$(xwininfo -id "$1" | awk '/Absolute upper-left Y/ {print $NF}')
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ' ')
  [[ -n $extents ]] || extents=0,0,0,0
  IFS=, read -r el _ et _ <<<"$extents"
  echo "$((ax - el)) $((ay - et))"
}
stored() {  # "Left Top" of the [Pos] section of start $1's settings
  awk -F= '/^\[/ {pos = ($0 ~ /^\[Pos\]/)} pos && $1 == "Left" {l = $2} pos && $1 == "Top" {t = $2}
           END {print l + 0, t + 0}' "$work/$1/config/yomikaki/Yomikaki.ini" | tr -d '\r'
}
doc="$work/place.txt"
printf 'place\r\n' >"$doc"
start place "$doc"
sleep 0.5
read -r left top <<<"$(frame "$wid")"
((left >= 0 && top >= 0)) || fail "place: the first window's frame is at $left,$top"
close place
[[ $(stored place) == "$left $top" ]] || fail "place: stored $(stored place), the frame was at $left $top"
start place "$doc"
sleep 0.5
[[ $(frame "$wid") == "$left $top" ]] || fail "place: the second start's frame is at $(frame "$wid"), not $left $top"
close place
echo "ok: placed by the window manager, frame kept"

# Typing, then kill -9 once the recovery snapshot is on disk: the next start
# on the file asks, Return answers yes, and the edits are back (saved here
# to compare the bytes).
doc="$work/crash.txt"
printf 'line one\r\nline two\r\n' >"$doc"
printf 'xyzline one\r\nline two\r\n' >"$work/expected"
start crash "$doc"
xdotool type --delay 40 xyz
snapshot_written() { compgen -G "$work/crash/config/yomikaki/versions/recovery-*" >/dev/null; }
wait_for 10 snapshot_written || fail "crash: no recovery snapshot after typing"
kill -9 "$pid"
wait "$pid" 2>/dev/null || true  # reaped here, without the shell's notice
XDG_CONFIG_HOME="$work/crash/config" XDG_RUNTIME_DIR="$work/crash/runtime" QT_QPA_PLATFORM=xcb \
  "$program" "$doc" >"$work/crash/out2.log" 2>&1 &
pid=$!
pids+=("$pid")
question=$(timeout 20 xdotool search --sync --onlyvisible --name '^確認$' | head -n 1) || fail "crash: no question"
timeout 10 xdotool windowactivate --sync "$question" || fail "crash: question not activated"
xdotool key Return
wid=$(timeout 20 xdotool search --sync --onlyvisible --name "crash.txt \\* - Yomikaki\$" | head -n 1) ||
  fail "crash: the restored document is not shown modified"
timeout 10 xdotool windowactivate --sync "$wid" || fail "crash: window not activated"
xdotool key ctrl+s
wait_for 10 has_bytes "$doc" "$work/expected" || fail "crash: restored and saved $(od -An -tx1 "$doc")"
no_snapshot() { ! snapshot_written; }
wait_for 10 no_snapshot || fail "crash: snapshot left after the save"
close crash
echo "ok: edits typed before kill -9 offered and restored"
