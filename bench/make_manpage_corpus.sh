#!/usr/bin/env bash
# Builds a 100 MB CP932 corpus of real Japanese prose with short lines from
# the Japanese manual pages of Debian (package manpages-ja), for measuring
# loads: bench/make_manpage_corpus.sh [output] (default /tmp/yk_manpages.txt).
# The corpus is never committed.
set -euo pipefail
out=${1:-/tmp/yk_manpages.txt}
target=$((100 * 1024 * 1024))
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
apt-get download manpages-ja >/dev/null
dpkg-deb -x manpages-ja_*.deb pkg
# Every page, decompressed and converted; pages with a character CP932
# lacks are converted as far as they go.
find pkg -name '*.gz' | sort | while read -r page; do
  zcat "$page" | iconv -c -f UTF-8 -t CP932 || true
done > one.txt
: > "$out"
while [ "$(stat -c %s "$out")" -lt "$target" ]; do cat one.txt >> "$out"; done
truncate -s "$target" "$out"
echo "$out: $(stat -c %s "$out") bytes, $(wc -l < "$out") lines"
