#!/usr/bin/env bash
# Installs everything Quorvel needs to build and test on Debian 12.
# Safe to run again: it only installs what is missing.
set -euo pipefail

PACKAGES=(
  cmake g++ make pkg-config python3
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  mingw-w64 g++-mingw-w64-x86-64 g++-mingw-w64-i686
  unixodbc unixodbc-dev odbcinst libsqliteodbc sqlite3
  wine wine64 fonts-wine xvfb xdotool x11-apps imagemagick fonts-wqy-zenhei locales
  fonts-arphic-uming python3-fonttools faketime
  wixl msitools zip unzip
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

# wine32 makes /usr/bin/wine pick the 32-bit loader, which cannot run here.
if dpkg-query -W -f='${Status}' wine32 2>/dev/null | grep -q "install ok installed"; then
  echo "setup: wine32 is installed; it breaks wine64 on this machine. Remove it: apt-get remove wine32" >&2
  exit 1
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The wine tests run with a zh_CN locale so that the ANSI code page is 936.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  $SUDO sed -i 's/^# *zh_CN.UTF-8/zh_CN.UTF-8/' /etc/locale.gen
  $SUDO locale-gen >/dev/null
fi
echo "setup: all packages present"
