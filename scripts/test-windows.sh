#!/usr/bin/env bash
# Cross-builds the Windows programs and their tests with mingw-w64 into build-win/ and runs
# the tests under Wine (a prefix inside build-win/, Chinese locale): first those that need
# no display, then the window's tests on a virtual display (xvfb-run).
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

# Every test folder is built for Windows. PIMINGBAO_WINDOWS_SKIPPED_TESTS names folders of
# tests/ to leave out of this build (";"-separated), say while one is being ported.
skipped_tests="${PIMINGBAO_WINDOWS_SKIPPED_TESTS-}"

watch=""
stop_watch() {
  if [ -n "$watch" ]; then
    kill "$watch" 2>/dev/null || true
    wait "$watch" 2>/dev/null || true
    watch=""
  fi
}
stop_wine() {
  stop_watch
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
# One server for every test start instead of one per start, kept by a watch that takes
# over when it crashes (stopped by stop_wine). The prefix's set-up may have left a server
# of its own running: end it first, or the watch's server cannot start.
stop_wine
WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true
state="$PWD/$build"
rm -f "$state/wineserver.log" "$state/wineserver-ready" "$state/wineserver-crashes" "$state/wineserver-crashes.all"
scripts/wine-server-watch.sh "$prefix" "$state" &
watch=$!
for _ in $(seq 300); do
  [ -e "$state/wineserver-ready" ] && break
  sleep 0.1
done
[ -e "$state/wineserver-ready" ] || echo "Windows build: the Wine server did not start in 30 s, see $state/wineserver.log"
configured=$(seconds)

cmake --build "$build" -j"$jobs"
built=$(seconds)
[ -z "$skipped_tests" ] || echo "Windows build: tests not built for Windows yet: $skipped_tests"

cd "$build"
status=0
# PIMINGBAO_WINDOWS_TEST_EXCLUDE: a ctest -E pattern of tests to leave out for now.
exclude=()
[ -z "${PIMINGBAO_WINDOWS_TEST_EXCLUDE:-}" ] || exclude=(-E "$PIMINGBAO_WINDOWS_TEST_EXCLUDE")
ctest --output-on-failure -j"$jobs" --timeout 300 -LE gui "${exclude[@]}" || status=$?
# Tests that failed while the Wine server crashed under them run again, at most twice; a
# failure without a crash stands. The crashes are listed in the output either way.
rerun=0
while [ "$status" -ne 0 ] && [ -s "$state/wineserver-crashes" ] && [ "$rerun" -lt 2 ]; do
  rerun=$((rerun + 1))
  echo "Windows build: the Wine server crashed during the tests (a fault of Wine, not of a test):"
  sed 's/^/  /' "$state/wineserver-crashes"
  cat "$state/wineserver-crashes" >>"$state/wineserver-crashes.all"
  : >"$state/wineserver-crashes"
  echo "Windows build: running the tests that failed again (round $rerun)"
  status=0
  ctest --output-on-failure -j"$jobs" --timeout 300 -LE gui "${exclude[@]}" --rerun-failed || status=$?
done
tested=$(seconds)

# The window's tests (label gui) need a desktop: a virtual one, with a Wine server of its
# own; the server the other tests used has no display, so it goes first.
stop_wine
if command -v xvfb-run >/dev/null 2>&1; then
  xvfb-run -a ctest --output-on-failure --timeout 300 -L gui "${exclude[@]}" || status=$?
else
  echo "Windows build: xvfb-run is missing, the window's tests did not run"
fi
stop_wine
finished=$(seconds)

echo "Windows build: configure $((configured - started)) s, build $((built - configured)) s," \
  "tests under Wine $((tested - built)) s, window tests $((finished - tested)) s"
crashes=$(cat "$state/wineserver-crashes.all" "$state/wineserver-crashes" 2>/dev/null | wc -l || true)
[ "$crashes" -eq 0 ] || echo "Windows build: the Wine server crashed $crashes times, see $state/wineserver.log"
exit "$status"
