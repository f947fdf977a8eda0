#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  googletest libgtest-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev fonts-wqy-microhei
  qt6-translations-l10n
  libgcrypt20-dev libarchive-dev
  libarchive-tools unar p7zip-full
  clang libclang-rt-14-dev
  xvfb xauth
)

# The Windows build (scripts/test-windows.sh): the mingw-w64 cross compiler (its -posix
# variant has std::thread), libgcrypt built for Windows, Wine to run the tests, and the
# locales package for the Chinese locale Wine needs to act as a Chinese Windows.
windows_packages=(
  g++-mingw-w64-x86-64 libgcrypt-mingw-w64-dev
  wine wine64
  locales
)

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

missing=()
for p in "${packages[@]}" "${windows_packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Wine takes its ANSI and OEM code pages (936) from the locale it runs in.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'; then
  echo "Generating the zh_CN.UTF-8 locale"
  if grep -q '^# *zh_CN\.UTF-8 UTF-8' /etc/locale.gen; then
    $SUDO sed -i 's/^# *\(zh_CN\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  elif ! grep -q '^zh_CN\.UTF-8 UTF-8' /etc/locale.gen; then
    echo 'zh_CN.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen
fi
