# Shared start of the tests on a real X server, sourced by each of them: a
# scratch folder removed at exit with every process started into `pids`,
# waits with time limits, and a display and window manager of the test's own.

# x_require TOOL...: exit 77 (skipped) unless every tool is installed.
x_require() {
  local tool
  for tool; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
  done
}

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# wait_for SECONDS COMMAND...: true once the command succeeds in time.
wait_for() {
  local end=$((SECONDS + $1)); shift
  until "$@"; do
    ((SECONDS < end)) || return 1
    sleep 0.1
  done
}
gone() {
  local state
  state=$(ps -o stat= -p "$1" 2>/dev/null || true)
  [[ -z $state || $state == Z* ]]
}
has_bytes() { [[ -f $1 ]] && cmp -s "$1" "$2"; }
# expect_saved WHAT FILE EXPECTED: the file holds those bytes within 10 s,
# else the test fails showing the bytes it found.
expect_saved() {
  wait_for 10 has_bytes "$2" "$3" || fail "$1: saved $(od -An -tx1 "$2")"
}

# x_display: an Xvfb on whatever display number is free, and DISPLAY set to
# it; the desktop's own input method and session are kept out.
x_display() {
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  pids+=($!)
  wait_for 15 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$(tr -d '\n' <"$work/display")"
  unset SESSION_MANAGER QT_IM_MODULE XMODIFIERS WAYLAND_DISPLAY
}

# x_window_manager: openbox with the configuration under $work/wm (its
# defaults when the test wrote none), running before this returns.
x_window_manager() {
  mkdir -p "$work/wm"
  XDG_CONFIG_HOME="$work/wm" openbox --sm-disable >"$work/wm.log" 2>&1 &
  pids+=($!)
  wait_for 15 wmctrl -m >/dev/null 2>&1 || fail "the window manager did not start"
}
