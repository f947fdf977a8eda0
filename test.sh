#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the native build's
# unit, console, fault and benchmark-smoke tests, short fuzzing runs, then the Windows
# build's tests under Wine (scripts/test-windows.sh, into build-win/).
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPIMINGBAO_WERROR=ON
cmake --build build -j"$(nproc)"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")

# Short fuzzing runs keep the targets building and catch shallow crashes; longer runs are
# `scripts/fuzz.sh 3600` and `scripts/fuzz-extra.sh 3600`.
scripts/fuzz.sh 10
scripts/fuzz-extra.sh 5

scripts/test-windows.sh
