# The instrumentation of the fuzz builds (fuzz/, fuzz_extra/): the address and
# undefined-behaviour sanitizers, or with FUZZ_COVERAGE the line coverage llvm-cov reads.
# Every library is instrumented; only the targets link the fuzzer's main().
option(FUZZ_COVERAGE "Build for line coverage (llvm-cov) instead of the sanitizers" OFF)

if(FUZZ_COVERAGE)
  add_compile_options(-fprofile-instr-generate -fcoverage-mapping -g -O0 -fsanitize=fuzzer-no-link)
  add_link_options(-fprofile-instr-generate)
else()
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g -O1
                      -fsanitize=fuzzer-no-link)
  add_link_options(-fsanitize=address,undefined)
endif()
