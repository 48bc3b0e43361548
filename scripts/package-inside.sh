#!/bin/bash
# Runs inside the clean root made by package-test.sh: installs the package
# with apt (dependencies from the archive, no recommended extras), checks
# that every shared library resolves, then starts the program with a file
# under the offscreen platform and closes it with SIGTERM.
# Usage: package-inside.sh yomikaki_<version>_<arch>.deb   (found in /tmp)
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
fail() { echo "package-inside: $*" >&2; exit 1; }

apt-get update -qq > /tmp/apt.log 2>&1 || { cat /tmp/apt.log; fail "apt-get update failed"; }
apt-get install -y -q --no-install-recommends "/tmp/$1" >> /tmp/apt.log 2>&1 ||
  { tail -30 /tmp/apt.log; fail "apt install of $1 failed"; }
dpkg-query -W -f='${Status}' yomikaki | grep -q 'install ok installed' || fail "yomikaki not installed"
echo "package-inside: installed $(dpkg-query -W -f='${Package} ${Version}' yomikaki)," \
     "$(dpkg-query -W -f='${Package}\n' | wc -l) packages in the root"

program=$(command -v yomikaki) || fail "yomikaki is not on PATH"
version=$(QT_QPA_PLATFORM=offscreen yomikaki --version) || fail "yomikaki --version failed"
echo "package-inside: $version"
[ "$program" = /usr/bin/yomikaki ] || fail "yomikaki found at $program"
missing=$(ldd "$program" | grep 'not found' || true)
[ -z "$missing" ] || fail "unresolved libraries: $missing"
# The Japanese texts of Qt's buttons and dialogs come with the dependencies.
[ -f /usr/share/qt6/translations/qtbase_ja.qm ] || fail "Qt's Japanese translation is not installed"

# A user's surroundings: a home and a private runtime folder.
export HOME=/tmp/home XDG_RUNTIME_DIR=/tmp/runtime QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" && mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
cd "$HOME"
yomikaki /tmp/sample.txt > /tmp/yomikaki.log 2>&1 &
pid=$!
sleep 2
if ! kill -0 "$pid" 2> /dev/null; then
  status=0; wait "$pid" || status=$?
  cat /tmp/yomikaki.log
  fail "yomikaki ended by itself within 2 s with status $status"
fi
kill -TERM "$pid"
for _ in $(seq 100); do
  kill -0 "$pid" 2> /dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2> /dev/null; then
  kill -KILL "$pid"
  cat /tmp/yomikaki.log
  fail "yomikaki did not end within 10 s of SIGTERM"
fi
status=0; wait "$pid" || status=$?
# SIGTERM closes the window the way the user would, so the program ends
# normally.
case $status in
  0) echo "package-inside: yomikaki started with a file and ended with status $status" ;;
  *) cat /tmp/yomikaki.log; fail "yomikaki ended with status $status after SIGTERM" ;;
esac
