#!/usr/bin/env bash
# Installs everything Ombrix needs to build and test on Debian 12, and the
# locales its language files name. Safe to run again.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6serialport6-dev
  libpugixml-dev
  googletest libgtest-dev
  libmodbus-dev
  locales
  fonts-noto-cjk
  qt6-translations-l10n
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The language files set en_US.UTF-8 and ja_JP.UTF-8 as the process locale;
# the tests also check number texts under a decimal comma (de_DE.UTF-8).
need_gen=0
for loc in en_US.UTF-8 ja_JP.UTF-8 de_DE.UTF-8; do
  if ! locale -a 2>/dev/null | grep -qi "^${loc%%.*}\.utf-\?8$"; then
    need_gen=1
    grep -q "^${loc} UTF-8" /etc/locale.gen 2>/dev/null || echo "${loc} UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
done
if [ "$need_gen" -eq 1 ]; then $SUDO locale-gen >/dev/null; fi
