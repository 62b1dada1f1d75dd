#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs every test (build-test/); then builds the fuzz targets with clang
# (build-fuzz/) and replays each over the seed corpus for a few seconds.
# Any failing step fails the command.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash tools/setup.sh
# QM_JOBS caps the parallel jobs of the build and of the tests (default: one
# per core).
jobs=${QM_JOBS:-$(nproc)}
# -O1 keeps the sanitizers exact while the long robustness loops run fast;
# -g1 (line tables) keeps file and line in every report and builds faster.
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g1 -O1" -DQM_SANITIZE=ON -DQM_BENCH=OFF \
  -DQM_WERROR=ON
cmake --build build-test -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-test --output-on-failure -j "$jobs"
# The readers of untrusted input under the fuzzer: a regression that the seeds
# or a few seconds of fuzzing reach fails here.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQM_FUZZ=ON -DQM_BENCH=OFF \
  -DQM_EXAMPLES=OFF
bash tests/fuzz/run_fuzzers.sh build-fuzz "${QM_FUZZ_SECONDS:-5}"
