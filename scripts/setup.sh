#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, as root or via sudo.
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev qt6-qpa-plugins qt6-svg-dev qt6-translations-l10n libgl-dev libxcb1-dev
          fonts-ipafont-gothic fonts-ipafont-mincho clang libclang-rt-14-dev
          desktop-file-utils appstream dpkg-dev file debootstrap poppler-utils lintian
          xvfb libxtst-dev xdotool xclip wmctrl openbox hyperfine vim
          at-spi2-core python3-pyatspi dbus-daemon)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
