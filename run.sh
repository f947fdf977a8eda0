#!/usr/bin/env bash
# Installs what is missing, builds the program and starts the window.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set): the window cannot open here."
  echo "On a desktop, start it with:  build/bin/pimingbao"
  echo "Pictures of every page:       build/bin/pimingbao --screenshot DIR"
  exit 0
fi
exec build/bin/pimingbao "$@"
