#!/usr/bin/env bash
# End-to-end figures: the whole program (bench/window_probe, the main window
# as the user gets it) beside vim opening the same CP932 files, measured
# with hyperfine in alternating rounds. Prints a Markdown table.
#   bench/e2e.sh [build-folder]      (default: build; needs hyperfine, vim)
# YK_E2E_ROUNDS (default 3) rounds of YK_E2E_RUNS (default 3) runs each;
# QT_QPA_PLATFORM defaults to offscreen. Not part of the test suite.
set -euo pipefail
build=${1:-build}
probe="$build/bench/window_probe"
rounds=${YK_E2E_ROUNDS:-3}
runs=${YK_E2E_RUNS:-3}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
for tool in hyperfine vim python3 /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done
[[ -x $probe ]] || { echo "build $probe first (cmake -DYK_BUILD_BENCH=ON)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
doc10=$("$probe" --gen 10485760)
doc100=$("$probe" --gen 104857600)
word=ZQXJWV  # in neither document
if grep -q "$word" "$doc100"; then echo "the search word occurs in $doc100" >&2; exit 1; fi
cp "$doc100" "$work/yk_save.txt"
cp "$doc100" "$work/vim_save.txt"
# No settings, no viminfo, no swap file; read as CP932, written back as CP932.
vim="vim -u NONE -i NONE -N -n -es --cmd 'set enc=utf-8 fencs=cp932'"

# measure NAME YOMIKAKI-COMMAND VIM-COMMAND: rounds of both, alternating.
measure() {
  local name=$1 i
  for ((i = 1; i <= rounds; i++)); do
    hyperfine -N --style none --warmup 1 --runs "$runs" --export-json "$work/$name.$i.json" \
      --command-name yomikaki "$2" --command-name vim "$3" >/dev/null
  done
}
measure start "$probe" "$vim -c 'qa!'"
measure open10 "$probe $doc10" "$vim $doc10 -c 'qa!'"
measure open100 "$probe $doc100" "$vim $doc100 -c 'qa!'"
measure find100 "$probe --find $word $doc100" "$vim $doc100 -c 'silent! /$word' -c 'qa!'"
measure save100 "$probe --save $work/yk_save.txt" "$vim $work/vim_save.txt -c 'w!' -c 'qa!'"
# Peak resident memory and the probe's own phase times (one run each).
/usr/bin/time -f %M -o "$work/yk.rss" "$probe" "$doc100" >"$work/yk.phases" 2>/dev/null
/usr/bin/time -f %M -o "$work/yk.rssfind" "$probe" --find "$word" "$doc100" >/dev/null 2>&1
eval "/usr/bin/time -f %M -o $work/vim.rss $vim $doc100 -c 'qa!'"
/usr/bin/time -f %M -o "$work/yk.rss10" "$probe" "$doc10" >/dev/null 2>&1
eval "/usr/bin/time -f %M -o $work/vim.rss10 $vim $doc10 -c 'qa!'"

python3 - "$work" "$doc10" "$doc100" <<'PY'
import glob, json, os, re, statistics, sys
work, doc10, doc100 = sys.argv[1:]
def median(name, command):
    times = []
    for f in glob.glob(f"{work}/{name}.*.json"):
        for r in json.load(open(f))["results"]:
            if r["command"] == command:
                times += r["times"]
    return statistics.median(times) * 1000
def rss(f):
    return int(open(f"{work}/{f}").read().split()[-1]) * 1024
rows = []
def row(label, y, v):
    rows.append(f"| {label} | {y} | {v} |")
ms = lambda x: f"{x:.0f} ms"
m = {n: (median(n, "yomikaki"), median(n, "vim")) for n in ["start", "open10", "open100", "find100", "save100"]}
row("start to first paint, no file", ms(m["start"][0]), ms(m["start"][1]))
row("open and first paint, 10 MB", ms(m["open10"][0]), ms(m["open10"][1]))
row("open and first paint, 100 MB", ms(m["open100"][0]), ms(m["open100"][1]))
for size, f, d in (("10 MB", "rss10", doc10), ("100 MB", "rss", doc100)):
    s = os.path.getsize(d)
    y, v = rss("yk." + f), rss("vim." + f)
    row(f"peak resident memory, {size}", f"{y/2**20:.0f} MB = {y/s:.2f} x file",
        f"{v/2**20:.0f} MB = {v/s:.2f} x file")
y = rss("yk.rssfind")
row("peak resident memory, 100 MB, after a Find through all of it", f"{y/2**20:.0f} MB = {y/os.path.getsize(doc100):.2f} x file (the file's pages it read)", "-")
row("Find of an absent word, 100 MB (above opening)", ms(m["find100"][0] - m["open100"][0]),
    ms(m["find100"][1] - m["open100"][1]))
row("Save, 100 MB (above opening)", ms(m["save100"][0] - m["open100"][0]), ms(m["save100"][1] - m["open100"][1]))
phases = open(f"{work}/yk.phases").read().strip()
close = re.search(r"close (\d+) ms", phases)
row("Close, 100 MB unmodified (inside the process)", f"{close.group(1)} ms" if close else "?", "-")
print("| measure (median, whole process) | Yomikaki | vim -es |")
print("| --- | --- | --- |")
print("\n".join(rows))
print(f"\nfirst paint of 100 MB: {m['open100'][1] / m['open100'][0]:.1f} x faster than vim")
print(f"one run of the probe, 100 MB: {phases}")
PY
echo
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(free -g | awk '/Mem:/ {print $2}') GB;" \
  "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg); QT_QPA_PLATFORM=$QT_QPA_PLATFORM"
