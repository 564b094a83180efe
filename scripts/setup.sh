#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Kelvra needs.
# Only packages that are missing are installed; a machine that has them all is left alone.
# Packages named on the command line are installed too (the package script's tools).
set -euo pipefail
pkgs=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  libfreeimage-dev libturbojpeg0-dev
  googletest libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  xvfb xdotool xclip imagemagick openbox x11-utils dbus at-spi2-core python3-pyatspi
  fonts-arphic-uming fonts-wqy-zenhei
  libimage-exiftool-perl
  desktop-file-utils appstream shared-mime-info xdg-utils
  locales
  libx11-dev poppler-utils
  "$@"
)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
sudo_cmd=""
[ "$(id -u)" = 0 ] || sudo_cmd=sudo
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# A decimal-comma locale, for the test that numbers keep the C locale's format.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then
  echo "setup: making the de_DE.UTF-8 locale"
  $sudo_cmd localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
