#!/usr/bin/env bash
# Builds the libraries, programs and benchmarks (optimised, in build/) and
# runs the example program, which shows what the kernel does.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash tools/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQM_TESTS=OFF
cmake --build build -j "$(nproc)"
./build/bin/quillmark_demo "$@"
