#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/) with clang, libFuzzer and the address and
# undefined-behaviour sanitizers in build-fuzz, then runs each for SECONDS (default 60),
# seeded from the fixture archives. Exits non-zero when a target crashes; the input that
# did it is kept in build-fuzz/artifacts/.
#   scripts/fuzz.sh 10                a short run, as test.sh does
#   scripts/fuzz.sh 3600 --coverage   a long run, then the line coverage its corpus
#                                     reaches in the RAR code (llvm-cov)
set -euo pipefail
seconds="${1:-60}"
coverage=0
[ "${2:-}" = "--coverage" ] && coverage=1
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"
fixtures="$root/../shared/fixtures/rar"

CXX=clang++ cmake -S "$root/fuzz" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target fuzz_reader fuzz_deleter >/dev/null

mkdir -p "$build/seeds" "$build/artifacts"
if [ -d "$fixtures" ]; then
  # Small archives make fast seeds; the big ones add nothing the small ones lack.
  find "$fixtures" -maxdepth 1 -type f ! -name '*.json' ! -name '*.md' -size -300k \
    -exec cp -f {} "$build/seeds/" \;
fi

status=0
for target in fuzz_reader fuzz_deleter; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  log="$build/$target.log"
  echo "fuzzing $target for ${seconds}s"
  if TMPDIR="${TMPDIR:-/tmp}" "$build/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
       -max_len=300000 -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" \
       "$corpus" "$build/seeds" >"$log" 2>&1; then
    runs="$(grep -Eo 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -Eo '[0-9]+$' || true)"
    cov="$(grep -Eo 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -n 1 || true)"
    echo "  $target: ${runs:-?} executions, ${cov:-coverage unknown}, no crash"
  else
    echo "  $target FAILED, see $log" >&2
    tail -n 40 "$log" >&2
    status=1
  fi
done

. "$root/scripts/fuzz-coverage.sh"
covbuild="$build/coverage"
if [ "$coverage" = 1 ] && fuzz_coverage_build "$root/fuzz" "$covbuild" fuzz_reader fuzz_deleter; then
  rar="$root/archiver/rar"
  for target in fuzz_reader fuzz_deleter; do
    fuzz_line_coverage "$covbuild" "$target" "$build/corpus/$target" "$build/seeds" -- \
      "$rar"/archive_reader.cpp "$rar"/rar4_reader.cpp "$rar"/rar5_reader.cpp "$rar"/rar5_header.cpp \
      "$rar"/rar4_name.cpp "$rar"/deletion_plan.cpp "$rar"/archive_editor.cpp "$rar"/name_matcher.cpp
  done
fi
exit $status
