#!/usr/bin/env bash
# A second start on a real X server (Xvfb with a small window manager): the
# start that hands its file to the window showing it ends the launcher's
# startup notification with its id, and that window, minimised behind
# another, comes to the front with an activation request stamped with the
# click time the startup id carries. Every wait has a time limit. Exits
# with 77 (skipped) when the X tools are not installed.
set -euo pipefail
program=${1:?usage: x_launch.sh path/to/yomikaki path/to/x_probe}
probe=${2:?usage: x_launch.sh path/to/yomikaki path/to/x_probe}
. "$(dirname "$0")/x_common.sh"
x_require Xvfb xdotool wmctrl openbox

x_display
unset XDG_ACTIVATION_TOKEN DESKTOP_STARTUP_ID
x_window_manager

# Every start shares one configuration and runtime folder, so that they
# find each other.
mkdir -p "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb

# start FILE: the program on FILE in the background; sets wid (its window).
start() {
  "$program" "$1" >>"$work/out.log" 2>&1 &
  pids+=($!)
  wid=$(timeout 20 xdotool search --sync --onlyvisible --name "$(basename "$1") - Yomikaki\$" | head -n 1) ||
    fail "no window for $1"
  [[ -n $wid ]] || fail "no window for $1"
}

printf 'a\r\n' >"$work/a.txt"
printf 'b\r\n' >"$work/b.txt"
start "$work/a.txt"
a=$wid
start "$work/b.txt"
timeout 10 xdotool windowactivate --sync "$wid" || fail "b.txt's window not activated"
timeout 10 xdotool windowminimize --sync "$a" || fail "a.txt's window not minimised"

"$probe" listen 30 >"$work/root.log" &
pids+=($!)
wait_for 10 grep -q listening "$work/root.log" || fail "the probe does not listen"
time=$("$probe" time) || fail "no server time"
id="x-launch-$$_TIME$time"
DESKTOP_STARTUP_ID=$id timeout 20 "$program" "$work/a.txt" || fail "the second start ended with status $?"

wait_for 10 grep -qxF "remove: ID=$id" "$work/root.log" ||
  fail "the launch was not ended: $(cat "$work/root.log")"
echo "ok: the second start ended its launch"
wait_for 10 grep -qxF "_NET_ACTIVE_WINDOW $a source 1 time $time" "$work/root.log" ||
  fail "no activation stamped with the click time: $(cat "$work/root.log")"
active() { [[ $(xdotool getactivewindow 2>/dev/null) == "$a" ]]; }
wait_for 10 active || fail "a.txt's window is not active"
echo "ok: the window with the file came to the front with the click time"
