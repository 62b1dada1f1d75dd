#!/usr/bin/env bash
# Builds the libraries, programs and benchmarks (optimised, in build/); the
# build makes a sample drawing with the kernel, saves it as a native file and
# renders it to build/sample.png. Then runs the small kernel demo and shows
# the sample in the drawing control, writing what the control shows to
# build/host.png, and marks a drawing up in the control (build/mark_up.*).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash tools/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQM_TESTS=OFF
# QM_JOBS caps the build's parallel jobs (default: one per core).
cmake --build build -j "${QM_JOBS:-$(nproc)}"
./build/bin/quillmark_demo
# Rendering the saved sample again shows what it does; any drawing can be
# given the same way:
#   build/bin/quillmark_render -o picture.png drawing.kzf
./build/bin/quillmark_render -o "$top/build/sample.png" "$top/build/sample.kzf"
echo "The sample drawing's picture: $top/build/sample.png"
# The container makes the control by its prog id through the registry: the
# build registered the build tree's control in build/registry.ini.
export QM_REGISTRY="$top/build/registry.ini"
# The drawing control in its container, on the same drawing, headless: a
# user's first minute (zoom, draw a line, undo, redo, save three ways) and
# then the control as it shows, its toolbars and side panel around the view.
(cd build && ./bin/quillmark_host --headless --size 800x600 --script "$top/control/host/first_minute.script" \
  --screenshot "$top/build/host.png" "$top/build/sample.kzf")
echo "The control showing it: $top/build/host.png"
echo "What it saved: $top/build/sample.qlf, $top/build/first_minute.plt, $top/build/first_minute.png"
# Marking a drawing up, from an empty one: a line coloured in the property
# panel, made a block and inserted from the block library, a freehand
# redline, saved four ways with the save button; then the saved drawing
# opened again with its markup over it and printed to a PDF file.
(cd build && ./bin/quillmark_host --headless --size 800x600 --script "$top/control/host/mark_up.script" \
  --screenshot "$top/build/mark_up_host.png")
(cd build && ./bin/quillmark_host --headless --size 800x600 --script "$top/control/host/reopen_and_print.script" \
  --screenshot "$top/build/reopened_host.png" "$top/build/mark_up.qlf")
echo "The marked-up drawing: $top/build/mark_up.qlf, .plt, .rml, .png, printed to $top/build/mark_up.pdf;"
echo "the control showing it: $top/build/mark_up_host.png, reopened: $top/build/reopened_host.png"
