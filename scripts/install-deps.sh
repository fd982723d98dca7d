#!/usr/bin/env bash
# Installs everything Ombrix needs to build and test on Debian 12, and the
# locales its language files name. Safe to run again.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  # The sanitizer build's compiler, its runtimes, and the symbolizer its
  # reports name source lines with.
  clang libclang-rt-14-dev llvm-14
  qt6-base-dev qt6-base-dev-tools
  libpugixml-dev
  googletest libgtest-dev
  libmodbus-dev
  locales
  fonts-noto-cjk
  qt6-translations-l10n
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

# One query for all packages and one locale listing: nothing noticeable when
# everything is there.
mapfile -t installed < <(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "${PACKAGES[@]}" 2>/dev/null \
  | awk '$2 == "installed" { print $1 }')
missing=()
for p in "${PACKAGES[@]}"; do
  [[ " ${installed[*]} " == *" $p "* ]] || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The language files set en_US.UTF-8 and ja_JP.UTF-8 as the process locale;
# the tests also check number texts under a decimal comma (de_DE.UTF-8).
locales=$(locale -a 2>/dev/null | tr 'A-Z' 'a-z' | sed 's/utf-\?8$/utf8/')
need_gen=0
for loc in en_US.UTF-8 ja_JP.UTF-8 de_DE.UTF-8; do
  short=$(echo "${loc%%.*}" | tr 'A-Z' 'a-z').utf8
  if ! grep -qx "$short" <<<"$locales"; then
    need_gen=1
    grep -q "^${loc} UTF-8" /etc/locale.gen 2>/dev/null || echo "${loc} UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
done
if [ "$need_gen" -eq 1 ]; then $SUDO locale-gen >/dev/null; fi
