#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs every test. The build goes to build-test/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash tools/setup.sh
jobs=$(nproc)
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQM_SANITIZE=ON -DQM_BENCH=OFF
cmake --build build-test -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-test --output-on-failure -j "$jobs"
