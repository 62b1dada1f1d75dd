#!/usr/bin/env bash
# Builds the libraries, programs and benchmarks (optimised, in build/); the
# build makes a sample drawing with the kernel, saves it as a native file and
# renders it to build/sample.png. Then runs the small kernel demo and shows
# the sample in the drawing control, writing what the control shows to
# build/host.png.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash tools/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQM_TESTS=OFF
cmake --build build -j "$(nproc)"
./build/bin/quillmark_demo
# Rendering the saved sample again shows what it does; any drawing can be
# given the same way:
#   build/bin/quillmark_render -o picture.png drawing.kzf
./build/bin/quillmark_render -o "$top/build/sample.png" "$top/build/sample.kzf"
echo "The sample drawing's picture: $top/build/sample.png"
# The drawing control in its container, on the same drawing: its toolbars
# around the view, as a user sees them.
./build/bin/quillmark_host --size 800x600 --screenshot "$top/build/host.png" "$top/build/sample.kzf"
echo "The control showing it: $top/build/host.png"
