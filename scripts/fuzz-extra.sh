#!/usr/bin/env bash
# Builds the fuzz targets of fuzz_extra/ (the driver's listing parser, the settings file's
# INI reader) with clang, libFuzzer and the address and undefined-behaviour sanitizers in
# build-fuzz-extra, then runs each for SECONDS (default 60). The listing parser is seeded
# with the recorded listings of the tests and, when a built myrar is found, with its
# listings of every fixture archive; the INI reader with a few settings files. Exits
# non-zero when a target crashes; the input that did it is kept in build-fuzz-extra/artifacts/.
#   scripts/fuzz-extra.sh 5                a short run, as test.sh does
#   scripts/fuzz-extra.sh 3600 --coverage  a long run, then the line coverage its corpus
#                                          reaches in the code under test (llvm-cov)
set -euo pipefail
seconds="${1:-60}"
coverage=0
[ "${2:-}" = "--coverage" ] && coverage=1
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz-extra"
fixtures="$root/../shared/fixtures/rar"

CXX=clang++ cmake -S "$root/fuzz_extra" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target fuzz_listing_parser fuzz_ini_document >/dev/null

seeds="$build/seeds"
rm -rf "$seeds"
mkdir -p "$seeds/fuzz_listing_parser" "$seeds/fuzz_ini_document" "$build/artifacts"

cp "$root"/tests/driver/data/*.txt "$root"/tests/console/golden/*.txt "$seeds/fuzz_listing_parser/" 2>/dev/null || true
myrar=""
for candidate in "$root"/build/bin/myrar "$root"/build-bench/bin/myrar; do
  if [ -x "$candidate" ]; then myrar="$candidate"; break; fi
done
if [ -n "$myrar" ] && [ -d "$fixtures" ]; then
  for f in "$fixtures"/*; do
    case "$f" in *.json|*.md) continue ;; esac
    "$myrar" v -p- "$f" >"$seeds/fuzz_listing_parser/v-$(basename "$f").txt" 2>&1 </dev/null || true
  done
fi

ini() {  # name, UTF-8 text with \n line ends: written as GB18030 with CR LF
  printf '%b' "$2" | sed 's/$/\r/' | iconv -f UTF-8 -t GB18030 >"$seeds/fuzz_ini_document/$1"
}
ini full.ini '[配置]\n路径=D:\\资料\\压缩包\n后缀=exe\n前缀=示例\n序号=00005\n'
ini only-extension.ini '[配置]\n后缀=exe\n'
ini quoted.ini '; 注释\n[其他]\nA=1\n\n[配置]\n路径 = "  D:\\带空格  "\n前缀=\x27示例\x27\n[配置]\n序号=7\n'
ini no-section.ini '路径=D:\\\n后缀\n[配置\n序号=\n'

status=0
for target in fuzz_listing_parser fuzz_ini_document; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  log="$build/$target.log"
  echo "fuzzing $target for ${seconds}s"
  if "$build/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -max_len=65536 \
       -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" \
       "$corpus" "$seeds/$target" >"$log" 2>&1; then
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
if [ "$coverage" = 1 ] && fuzz_coverage_build "$root/fuzz_extra" "$covbuild" fuzz_listing_parser fuzz_ini_document; then
  fuzz_line_coverage "$covbuild" fuzz_listing_parser "$build/corpus/fuzz_listing_parser" "$seeds/fuzz_listing_parser" -- \
    "$root/archiver/driver/listing_parser.cpp" "$root/archiver/driver/archiver_output.cpp"
  fuzz_line_coverage "$covbuild" fuzz_ini_document "$build/corpus/fuzz_ini_document" "$seeds/fuzz_ini_document" -- \
    "$root/ui/core/ini_document.cpp"
fi
exit $status
