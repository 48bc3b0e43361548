#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz/ and replays each seed corpus
# once. Any crash, leak or sanitizer report fails the script.
# FUZZ_SECONDS=N fuzzes each target for N seconds after the replay.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build-fuzz
mkdir -p "$out/obj"
cxx=${CXX_FUZZ:-clang++}
flags=(-std=c++20 -g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined
       -fno-sanitize-recover=undefined -Isrc -Itests)

# The library sources the targets need: the settings store and the whole
# text model below it for the readers (the link to the editor control is
# left out: they never need it), the editor control with the conversions
# and the platform helpers for the editor target, the platform helpers
# alone for the bus messages and the text encodings, the application
# logic without windows (with the store and the editor it uses) for
# the command line, the dictionaries and recovery snapshots, and the
# editor with the document files for the document loader.
reader_sources=($(ls src/props/*.cpp | grep -v editor_prop_link) src/text/*.cpp)
editor_sources=(src/text/*.cpp src/editor/*.cpp src/convert/*.cpp src/platform/*.cpp)
platform_sources=(src/text/*.cpp src/platform/*.cpp)
shell_sources=($(printf '%s\n' src/shell/*.cpp "${reader_sources[@]}" "${editor_sources[@]}" | sort -u))
document_sources=("${editor_sources[@]}" src/shell/document_file.cpp)
sources=($(printf '%s\n' "${reader_sources[@]}" "${editor_sources[@]}" "${shell_sources[@]}" | sort -u))

object() { echo "$out/obj/$(echo "$1" | tr / _).o"; }

compile() {  # source object
  if [ ! -f "$2" ] || [ "$1" -nt "$2" ] ||
     [ -n "$(find src/props src/text src/editor src/convert src/platform src/shell -name '*.h' -newer "$2" -print -quit)" ]; then
    "$cxx" "${flags[@]}" -c "$1" -o "$2"
  fi
}

pids=()
for src in "${sources[@]}"; do
  compile "$src" "$(object "$src")" &
  pids+=($!)
  if [ ${#pids[@]} -ge "$(nproc)" ]; then wait "${pids[0]}"; pids=("${pids[@]:1}"); fi
done
for pid in "${pids[@]}"; do wait "$pid"; done

status=0
for target in tests/fuzz/*_fuzz.cpp; do
  name=$(basename "$target" .cpp)
  case $name in
    editor_fuzz) linked=("${editor_sources[@]}") ;;
    bus_message_fuzz | text_encoding_fuzz) linked=("${platform_sources[@]}") ;;
    command_line_fuzz | comma_text_fuzz | recovery_record_fuzz) linked=("${shell_sources[@]}") ;;
    document_fuzz) linked=("${document_sources[@]}") ;;
    *) linked=("${reader_sources[@]}") ;;
  esac
  objects=()
  for src in "${linked[@]}"; do objects+=("$(object "$src")"); done
  "$cxx" "${flags[@]}" -fsanitize=fuzzer "$target" "${objects[@]}" -o "$out/$name"
  corpus="tests/fuzz/corpus/${name%_fuzz}"
  echo "== $name: replaying $(ls "$corpus" | wc -l) seeds"
  if ! "$out/$name" -runs=0 -artifact_prefix="$out/" "$corpus" >"$out/$name.log" 2>&1; then
    cat "$out/$name.log"
    echo "FAILED: $name"
    status=1
  fi
  if [ "${FUZZ_SECONDS:-0}" -gt 0 ]; then
    mkdir -p "$out/corpus-$name"
    "$out/$name" -max_total_time="$FUZZ_SECONDS" -print_final_stats=1 -artifact_prefix="$out/" "$out/corpus-$name" "$corpus" \
      >"$out/$name.fuzz.log" 2>&1 || { tail -50 "$out/$name.fuzz.log"; status=1; }
  fi
done
exit $status
