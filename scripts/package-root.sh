#!/usr/bin/env bash
# Makes the fresh minimal Debian root (the release of this machine) that
# scripts/package-test.sh installs the package into, and fills its apt cache
# with the libraries the package is expected to depend on, so that the
# install later waits less on the mirror. Nothing is installed beyond the
# minimal root; the install still resolves the package's own Depends.
# Usage: scripts/package-root.sh ROOT
# Needs root rights (debootstrap, chroot) and the Debian mirror;
# YK_DEBIAN_MIRROR chooses another mirror than debootstrap's default.
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 ROOT" >&2; exit 2; }
root=$1
sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
# shellcheck disable=SC1091
suite=$(. /etc/os-release && echo "$VERSION_CODENAME")

$sudo_cmd rm -rf "$root"
$sudo_cmd debootstrap --variant=minbase "$suite" "$root" ${YK_DEBIAN_MIRROR:+"$YK_DEBIAN_MIRROR"}
echo "package-root: debootstrap $suite done ($SECONDS s)"

# A warm-up only: a name missing here costs the install a download, not a
# fault, so a failed fetch is reported and ignored.
expected=(libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6printsupport6 libqt6svg6
          libxcb1 fonts-ipafont-gothic qt6-translations-l10n)
fetch="apt-get update -qq && apt-get install -y -qq --download-only --no-install-recommends ${expected[*]}"
$sudo_cmd unshare --mount --propagation private \
  sh -c 'mount -t proc proc "$1/proc" && exec chroot "$1" /bin/sh -c "$2"' sh "$root" "$fetch" ||
  echo "package-root: fetching the expected libraries failed; the install will fetch them"
echo "package-root: ready ($SECONDS s)"
