#!/usr/bin/env bash
# The program on a real X server with a UTF-8 file full of characters that
# Shift-JIS lacks (an emoji, é, Hangul, a kanji beyond the BMP, both
# tildes): keys typed at its start, Ctrl+S, and the file must hold exactly
# the typed characters followed by its old bytes; a row copied with Ctrl+C
# reads back with its real characters. Exits with 77 (skipped) when the X
# tools are not installed.
set -euo pipefail
program=${1:?usage: x_mapped_chars.sh path/to/yomikaki}
for tool in Xvfb xdotool xclip wmctrl openbox; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
wait_for() {
  local end=$((SECONDS + $1)); shift
  until "$@"; do
    ((SECONDS < end)) || return 1
    sleep 0.1
  done
}
has_bytes() { [[ -f $1 ]] && cmp -s "$1" "$2"; }

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
wait_for 15 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(tr -d '\n' <"$work/display")"
unset SESSION_MANAGER QT_IM_MODULE XMODIFIERS WAYLAND_DISPLAY
mkdir -p "$work/wm" "$work/home/config" "$work/home/runtime"
chmod 700 "$work/home/runtime"
XDG_CONFIG_HOME="$work/wm" openbox --sm-disable >"$work/wm.log" 2>&1 &
pids+=($!)
wait_for 15 wmctrl -m >/dev/null 2>&1 || fail "the window manager did not start"

# 😀é한𠮷〜～ LF x LF
doc="$work/foreign.txt"
printf '\xf0\x9f\x98\x80\xc3\xa9\xed\x95\x9c\xf0\xa0\xae\xb7\xe3\x80\x9c\xef\xbd\x9e\nx\n' >"$doc"
cp "$doc" "$work/original"
XDG_CONFIG_HOME="$work/home/config" XDG_RUNTIME_DIR="$work/home/runtime" QT_QPA_PLATFORM=xcb \
  "$program" "$doc" >"$work/out.log" 2>&1 &
pid=$!
pids+=("$pid")
wid=$(timeout 20 xdotool search --sync --onlyvisible --name "foreign.txt - Yomikaki\$" | head -n 1) ||
  fail "no window: $(cat "$work/out.log")"
timeout 10 xdotool windowactivate --sync "$wid" || fail "window not activated"

# ü and 😀 typed at the start (the caret starts there), then Ctrl+S: the
# file in UTF-8 as it was, after the two.
xdotool type --delay 80 'ü😀'
xdotool key ctrl+s
{ printf '\xc3\xbc\xf0\x9f\x98\x80'; cat "$work/original"; } >"$work/expected"
wait_for 10 has_bytes "$doc" "$work/expected" || fail "saved $(od -An -tx1 "$doc")"
echo "ok: typed at the start and saved back exactly"

# The first row copied: the clipboard holds the real characters.
xdotool key Home shift+End ctrl+c
want=$(printf '\xc3\xbc\xf0\x9f\x98\x80\xf0\x9f\x98\x80\xc3\xa9\xed\x95\x9c\xf0\xa0\xae\xb7\xe3\x80\x9c\xef\xbd\x9e')
copied() { [[ $(timeout 5 xclip -o -selection clipboard 2>/dev/null) == "$want" ]]; }
wait_for 10 copied || fail "clipboard holds '$(timeout 5 xclip -o -selection clipboard 2>&1 || true)'"
echo "ok: copied with the real characters"
