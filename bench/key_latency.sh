#!/usr/bin/env bash
# Key to changed pixels in the real program on a virtual X server, for the
# typing situations that matter most, beside the floor of the same window (a
# key typed into the tool bar's search box, a plain line edit). Prints a
# Markdown table of medians, upper quartiles and 90th percentiles, twice per
# row: with the window quiet before every key, and with keys on a typist's
# beat (YK_PACE ms apart, default 80), where work left over from one key
# meets the next.
#   bench/key_latency.sh [build-folder]     (default: build)
# YK_KEYS (default 32) keys per row; YK_ONLY=TEXT measures only the rows
# whose label holds TEXT (the floor row always runs); YK_VERBOSE=1 writes
# every key's figure to stderr. Needs Xvfb and openbox; not part of the
# test suite. Run it on a quiet machine: every figure is a few milliseconds.
set -euo pipefail
build=${1:-build}
program="$build/src/app/yomikaki"
probe="$build/bench/key_latency"
keys=${YK_KEYS:-32}
pace=${YK_PACE:-80}
for tool in Xvfb openbox; do
  command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done
for f in "$program" "$probe"; do
  [[ -x $f ]] || { echo "build $f first (cmake -DYK_BUILD_BENCH=ON)" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$probe" --gen short 20971520 "$work/short.txt"
"$probe" --gen prose 8388608 "$work/prose.txt"
"$probe" --gen ascii 10485760 "$work/ascii.txt"
middle=$(( $(wc -l <"$work/short.txt") / 2 ))

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 150); do [[ -s $work/display ]] && break; sleep 0.1; done
export DISPLAY=":$(tr -d '\n' <"$work/display")"
unset SESSION_MANAGER QT_IM_MODULE XMODIFIERS WAYLAND_DISPLAY
mkdir -p "$work/wm"
XDG_CONFIG_HOME="$work/wm" openbox --sm-disable >"$work/wm.log" 2>&1 &
pids+=($!)
sleep 1

# row LABEL FILE PROBE-ARGS... [-- PROGRAM-ARGS...]: one program per row, with
# a fresh configuration, so no row inherits another's state.
row() {
  local label=$1 file=$2 home="$work/home$RANDOM"
  [[ -z ${YK_ONLY:-} || $label == *"$YK_ONLY"* ]] || return 0
  shift 2
  local probe_args=() program_args=()
  while (($#)) && [[ $1 != -- ]]; do probe_args+=("$1"); shift; done
  (($#)) && shift
  program_args=("$@")
  mkdir -p "$home/config" "$home/runtime"
  chmod 700 "$home/runtime"
  XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/runtime" QT_QPA_PLATFORM=xcb \
    "$program" "${program_args[@]}" "$file" >"$home/out.log" 2>&1 &
  local pid=$!
  local settled paced
  # The title gains a mark once the document is modified: match the name.
  ((${YK_VERBOSE:-0})) && probe_args+=(--verbose)
  settled=$("$probe" --window "$(basename "$file")" --keys "$keys" "${probe_args[@]}") ||
    settled="failed: $(cat "$home/out.log")"
  paced=$("$probe" --window "$(basename "$file")" --keys "$keys" --pace "$pace" "${probe_args[@]}") ||
    paced="failed: $(cat "$home/out.log")"
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo "| $label | $settled | $paced |"
}

echo "| work | key to changed pixels, quiet before each key | keys ${pace} ms apart |"
echo "| --- | --- | --- |"
YK_ONLY='' row "floor: a key in the tool bar's search box" "$work/short.txt" --click-search
row "a typed character, 20 MB of short Japanese lines, caret in the middle" "$work/short.txt" -- /l "$middle"
row "PageDown, 20 MB of short Japanese lines" "$work/short.txt" --mode page -- /l "$middle"
row "a typed character at the start of one 8 MB line of Japanese prose, wrapped at 80" "$work/prose.txt" --prepare ctrl+Home
row "a typed character at the end of that line" "$work/prose.txt" --prepare ctrl+End
row "a typed character at the start of one 10 MB line of single-byte text, wrapped" "$work/ascii.txt" --prepare ctrl+Home
row "a typed character at the end of that line" "$work/ascii.txt" --prepare ctrl+End
