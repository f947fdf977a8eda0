# Sourced by scripts/fuzz.sh and scripts/fuzz-extra.sh: the line coverage a fuzz target's
# corpus reaches, read with llvm-cov from a build of the target for coverage.
#
#   fuzz_line_coverage COVERAGE_BUILD TARGET CORPUS_DIR... -- SOURCE...
#
# runs the coverage build's TARGET once over every input of the corpus folders and prints
# llvm-cov's report for the given source files.
fuzz_line_coverage() {
  local covbuild="$1" target="$2"
  shift 2
  local corpora=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do corpora+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  rm -f "$covbuild/$target".profraw
  LLVM_PROFILE_FILE="$covbuild/$target.profraw" "$covbuild/$target" -runs=0 -rss_limit_mb=2048 \
    "${corpora[@]}" >/dev/null 2>&1 || true
  llvm-profdata merge -sparse "$covbuild/$target.profraw" -o "$covbuild/$target.profdata"
  echo "line coverage of $target's corpus:"
  llvm-cov report "$covbuild/$target" -instr-profile="$covbuild/$target.profdata" "$@" |
    awk '!/^-+$/ && NF { print "  " $0 }'
}

#   fuzz_coverage_build SOURCE_DIR COVERAGE_BUILD TARGET...
#
# configures and builds the targets for coverage; fails, saying why, without llvm-cov.
fuzz_coverage_build() {
  if ! command -v llvm-cov >/dev/null; then
    echo "no llvm-cov: install the Debian package llvm for the coverage report" >&2
    return 1
  fi
  local source="$1" covbuild="$2"
  shift 2
  CXX=clang++ cmake -S "$source" -B "$covbuild" -DFUZZ_COVERAGE=ON >/dev/null
  cmake --build "$covbuild" -j"$(nproc)" --target "$@" >/dev/null
}
