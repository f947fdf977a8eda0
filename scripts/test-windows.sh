#!/usr/bin/env bash
# Cross-builds the Windows programs and their tests with mingw-w64 into build-win/ and runs
# the tests under Wine (a prefix inside build-win/, Chinese locale, no display).
#
#   scripts/test-windows.sh            configure, build, test
#   PIMINGBAO_JOBS=2 scripts/test-windows.sh
#
# Expects what scripts/install-deps.sh installs. The Wine server of the prefix is stopped
# at the end, whatever happened, so a later run with a display starts a fresh one.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-win
jobs="${PIMINGBAO_JOBS:-$(nproc)}"
prefix="$PWD/$build/wine-prefix"

# Test folders whose programs cannot be built for Windows yet (they call POSIX functions
# directly); they are left out of this build until they can. PIMINGBAO_WINDOWS_SKIPPED_TESTS
# replaces the list (";"-separated; empty to build them all).
skipped_tests="${PIMINGBAO_WINDOWS_SKIPPED_TESTS-cli;console;console_add_extract;faults;jobs;rar_write;ui_core}"

stop_wine() {
  if [ -d "$prefix" ]; then
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  fi
}
trap stop_wine EXIT

seconds() { date +%s; }
started=$(seconds)

cmake -S . -B "$build" \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" \
  -DPIMINGBAO_BUILD_QT=OFF \
  -DPIMINGBAO_WERROR=ON \
  "-DPIMINGBAO_WINDOWS_SKIPPED_TESTS=$skipped_tests"

# Made before the build: each test program is asked for its tests under Wine as soon as it
# is linked, and the first start of Wine in a new prefix takes far longer than that may.
scripts/wine-run.sh --prefix "$prefix" --init
# One server for every test start instead of one per start (stopped by stop_wine).
WINEPREFIX="$prefix" wineserver -p >"$build/wineserver.log" 2>&1
configured=$(seconds)

cmake --build "$build" -j"$jobs"
built=$(seconds)
[ -z "$skipped_tests" ] || echo "Windows build: tests not built for Windows yet: $skipped_tests"

cd "$build"
status=0
# PIMINGBAO_WINDOWS_TEST_EXCLUDE: a ctest -E pattern of tests to leave out for now.
exclude=()
[ -z "${PIMINGBAO_WINDOWS_TEST_EXCLUDE:-}" ] || exclude=(-E "$PIMINGBAO_WINDOWS_TEST_EXCLUDE")
ctest --output-on-failure -j"$jobs" --timeout 300 "${exclude[@]}" || status=$?
finished=$(seconds)

echo "Windows build: configure $((configured - started)) s, build $((built - configured)) s, tests under Wine $((finished - built)) s"
exit "$status"
