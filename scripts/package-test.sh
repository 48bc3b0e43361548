#!/usr/bin/env bash
# Builds the Debian package, checks its control fields and file list, runs
# lintian on it (errors and warnings fail), then installs it with apt into a
# fresh minimal Debian root (the release of this machine) and starts the
# installed program there with a file and closes it.
# Usage: scripts/package-test.sh [build folder]   (default: build)
# The clean root needs root rights (debootstrap, chroot) and the Debian
# mirror; YK_DEBIAN_MIRROR chooses another mirror than debootstrap's default.
# YK_PACKAGE_ROOT=DIR uses a root made by scripts/package-root.sh DIR.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"

fail() { echo "package-test: $*" >&2; exit 1; }
step_start=$SECONDS
step() {
  echo "package-test: $1 ($((SECONDS - step_start)) s)"
  step_start=$SECONDS
}

# --- The package -----------------------------------------------------------
cmake --build "$build" --target yomikaki yk_data_files
rm -f "$build"/yomikaki_*.deb
(cd "$build" && cpack -G DEB > cpack.log 2>&1) || { cat "$build/cpack.log"; fail "cpack failed"; }
debs=("$build"/yomikaki_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one yomikaki_*.deb in $build"
deb=${debs[0]}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
step "built $(basename "$deb")"

# --- Control fields --------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = yomikaki ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', the project is $version"
[ "$(field Section)" = editors ] || fail "Section is '$(field Section)'"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is '$(field Architecture)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
depends=$(field Depends)
# Versioned entries of libc and Qt show that the shared libraries were
# looked up (libqt6svg6 holds the SVG plugins too); the font and Qt's
# Japanese translation are loaded at run time only.
for want in 'libc6 (>= ' 'libqt6core6 (>= ' 'libqt6widgets6 (>= ' 'libqt6svg6 (>= ' 'fonts-ipafont-gothic' \
            'qt6-translations-l10n'; do
  [[ ", $depends" == *", $want"* ]] || fail "Depends lacks '$want': $depends"
done
twice=$(tr ',' '\n' <<<"$depends" | awk '{ print $1 }' | sort | uniq -d)
[ -z "$twice" ] || fail "Depends names $twice more than once: $depends"
[[ ", $(field Recommends)," == *", fonts-noto-color-emoji,"* ]] ||
  fail "Recommends lacks fonts-noto-color-emoji: $(field Recommends)"
step "control fields"

# --- File list -------------------------------------------------------------
# Exactly these files, owned by root, the program executable and stripped.
expected="./usr/bin/yomikaki
./usr/share/applications/org.example.yomikaki.desktop
./usr/share/doc/yomikaki/changelog.gz
./usr/share/doc/yomikaki/copyright
./usr/share/icons/hicolor/scalable/apps/yomikaki.svg
./usr/share/man/ja/man1/yomikaki.1.gz
./usr/share/man/man1/yomikaki.1.gz
./usr/share/metainfo/org.example.yomikaki.metainfo.xml"
listing=$(dpkg-deb -c "$deb")
files=$(awk '$1 ~ /^-/ { print $6 }' <<<"$listing" | LC_ALL=C sort)
[ "$files" = "$expected" ] || fail "file list differs:$(diff <(echo "$expected") <(echo "$files") || true)"
awk '$2 != "root/root" { bad = 1; print "not root-owned: " $0 } END { exit bad }' <<<"$listing" ||
  fail "files not owned by root"
grep -q '^-rwxr-xr-x .* \./usr/bin/yomikaki$' <<<"$listing" || fail "program is not mode 755"
unpacked="$build/package-contents"
rm -rf "$unpacked" && dpkg-deb -x "$deb" "$unpacked"
file "$unpacked/usr/bin/yomikaki" | grep -q ', stripped' || fail "program is not stripped"
rm -rf "$unpacked"
step "file list"

# --- lintian ---------------------------------------------------------------
# Errors and warnings fail, and so does every informational tag but these:
#   binary-has-unneeded-section: CPack strips the program's symbols but
#     leaves the .comment section, a few bytes naming the compiler.
#   hardening-no-fortify-functions: the project's build does not define
#     _FORTIFY_SOURCE (Debian's own packages get it from dpkg-buildflags).
allowed_info=binary-has-unneeded-section,hardening-no-fortify-functions
command -v lintian > /dev/null || fail "lintian is not installed (scripts/setup.sh installs it)"
lintian --display-info --fail-on error,warning,info --suppress-tags "$allowed_info" "$deb" \
  > "$build/lintian.log" 2>&1 || { cat "$build/lintian.log"; fail "lintian found faults in the package"; }
step "lintian"

# --- Clean root ------------------------------------------------------------
# YK_PACKAGE_ROOT names a root that scripts/package-root.sh made for this
# run (scripts/test.sh makes it while the project builds); without it the
# root is made here.
if [ -n "${YK_PACKAGE_ROOT:-}" ]; then
  root=$(realpath "$YK_PACKAGE_ROOT")
  [ -x "$root/bin/bash" ] && [ -d "$root/tmp" ] || fail "no prepared root at $root"
  step "prepared root $root"
else
  root="$build/package-root"
  root_log="$build/package-root.log"
  scripts/package-root.sh "$root" > "$root_log" 2>&1 || { tail -20 "$root_log"; fail "making the clean root failed"; }
  step "clean root made"
fi

$sudo_cmd cp "$deb" "$root/tmp/"
# A document in CP932: "あいう" and a half-width katakana line, CR LF ends.
printf '\x82\xa0\x82\xa2\x82\xa4\r\n\xb1\xb2\xb3\r\n' | $sudo_cmd tee "$root/tmp/sample.txt" > /dev/null
$sudo_cmd cp scripts/package-inside.sh "$root/tmp/"
# A mount namespace of its own, so /proc inside the root goes away with it
# whatever happens.
$sudo_cmd unshare --mount --propagation private \
  sh -c 'mount -t proc proc "$1/proc" && exec chroot "$1" /bin/bash /tmp/package-inside.sh "$2"' \
  sh "$root" "$(basename "$deb")" || fail "the installed package failed in the clean root"
step "installed and started in the clean root"
$sudo_cmd rm -rf "$root"
echo "package-test: passed"
