#!/usr/bin/env bash
# The program on a real X server with a UTF-8 file full of characters that
# Shift-JIS lacks (an emoji, é, Hangul, a kanji beyond the BMP, both
# tildes): keys typed at its start, Ctrl+S, and the file must hold exactly
# the typed characters followed by its old bytes; a row copied with Ctrl+C
# reads back with its real characters. Exits with 77 (skipped) when the X
# tools are not installed.
set -euo pipefail
program=${1:?usage: x_mapped_chars.sh path/to/yomikaki}
. "$(dirname "$0")/x_common.sh"
x_require Xvfb xdotool xclip wmctrl openbox

x_display
x_window_manager
mkdir -p "$work/home/config" "$work/home/runtime"
chmod 700 "$work/home/runtime"

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

# ü and 😀 typed at the start (the caret starts there), each followed by
# Ctrl+S: the file in UTF-8 as it was, after the two. xdotool types a
# character missing from the keyboard map by changing the map for that one
# key, and a busy program may read the map only after it was changed back,
# which loses the key (nothing is typed): such a key is typed again.
# type_saved CHAR EXPECTED: CHAR typed and saved until the file holds EXPECTED.
type_saved() {
  local try
  for try in 1 2 3 4 5; do
    xdotool type --delay 80 "$1"
    xdotool key ctrl+s
    wait_for 2 has_bytes "$doc" "$2" && return 0
  done
  fail "typed $1: saved $(od -An -tx1 "$doc")"
}
{ printf '\xc3\xbc'; cat "$work/original"; } >"$work/expected-1"
{ printf '\xc3\xbc\xf0\x9f\x98\x80'; cat "$work/original"; } >"$work/expected-2"
type_saved 'ü' "$work/expected-1"
type_saved '😀' "$work/expected-2"
echo "ok: typed at the start and saved back exactly"

# The first row copied: the clipboard holds the real characters.
xdotool key Home shift+End ctrl+c
want=$(printf '\xc3\xbc\xf0\x9f\x98\x80\xf0\x9f\x98\x80\xc3\xa9\xed\x95\x9c\xf0\xa0\xae\xb7\xe3\x80\x9c\xef\xbd\x9e')
copied() { [[ $(timeout 5 xclip -o -selection clipboard 2>/dev/null) == "$want" ]]; }
wait_for 10 copied || fail "clipboard holds '$(timeout 5 xclip -o -selection clipboard 2>&1 || true)'"
echo "ok: copied with the real characters"
