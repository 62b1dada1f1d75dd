#!/usr/bin/env bash
# Installs the build into a temporary prefix, builds the first-drawing example
# against the installed copy through find_package(vellex) and through
# pkg-config, runs both, the installed renderer and the installed container
# program, and compares the examples' pictures with the one the build tree's
# example makes; runs the installed font tool too.
#   check_install.sh <build folder> <source folder> <C++ compiler>
set -euo pipefail
build=$(cd "$1" && pwd)
src=$(cd "$2" && pwd)
cxx=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The installed copy must stand on its own.
unset QM_KERNEL_DIR QM_WINDOWS_DIR LD_LIBRARY_PATH
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() {
  echo "install check: $*" >&2
  exit 1
}
# A picture the example wrote, the same as the build tree's.
same_picture() {
  [ -s "$1/first.kzf" ] || fail "$2 wrote no drawing $1/first.kzf"
  cmp -s "$1/first.png" "$work/tree/first.png" || fail "$2 drew $1/first.png unlike the build tree's example"
}
mkdir "$work/tree" "$work/package" "$work/pkgconfig"
"$build/bin/quillmark_first_drawing" "$work/tree" >/dev/null

cmake -S "$src/tests/install/consumer" -B "$work/consumer" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_PREFIX_PATH="$prefix" -DQM_EXAMPLE="$src/examples/first_drawing.cpp" \
  >"$work/configure.log" 2>&1 || { cat "$work/configure.log"; fail "find_package(vellex) failed"; }
cmake --build "$work/consumer" >"$work/build.log" 2>&1 || { cat "$work/build.log"; fail "the example did not build through find_package"; }
"$work/consumer/first_drawing" "$work/package" >/dev/null
same_picture "$work/package" "the example built through find_package"

pc=$(find "$prefix" -name vellex.pc)
[ -n "$pc" ] || fail "no vellex.pc under $prefix"
export PKG_CONFIG_PATH=$(dirname "$pc")
# shellcheck disable=SC2046
"$cxx" $(pkg-config --cflags vellex) "$src/examples/first_drawing.cpp" -o "$work/first_drawing_pc" \
  $(pkg-config --libs vellex) || fail "the example did not build through pkg-config"
"$work/first_drawing_pc" "$work/pkgconfig" >/dev/null
same_picture "$work/pkgconfig" "the example built through pkg-config"

# A program of the user's plots through the installed HPGL library, and the
# installed converter reads the plot back.
[ -f "$prefix/include/quillmark/exchange/hpgl/penplot.h" ] || fail "penplot.h is not installed"
[ -f "$prefix/include/quillmark/exchange/markup/markupio.h" ] || fail "markupio.h is not installed"
[ -f "$prefix/include/quillmark/exchange/cadbridge/mb_dwg_load_save.h" ] || fail "mb_dwg_load_save.h is not installed"
# shellcheck disable=SC2046
"$cxx" $(pkg-config --cflags vellex) "$src/tests/install/plot_consumer.cpp" -o "$work/plot_consumer" \
  $(pkg-config --libs vellex) -lpenplot || fail "a program using the installed penplot did not build"
"$work/plot_consumer" "$work/square.plt" || fail "the program using the installed penplot failed"
grep -q "SP1;PU" "$work/square.plt" || fail "the installed penplot wrote no strokes"
"$prefix/bin/quillmark_plot" "$work/square.plt" "$work/square.kzf" >/dev/null ||
  fail "the installed quillmark_plot did not read the plot"
[ -s "$work/square.kzf" ] || fail "the installed quillmark_plot wrote no drawing"

"$prefix/bin/quillmark_render" -o "$work/rendered.png" "$work/tree/first.kzf" >/dev/null ||
  fail "the installed renderer failed"
[ -s "$work/rendered.png" ] || fail "the installed renderer wrote no picture"
# The installed font tool: its dialog ends on its own headless, and its
# command line decompiles the kernel's font.
"$prefix/bin/fontlathe" </dev/null >/dev/null || fail "the installed font tool's dialog failed"
"$prefix/bin/fontlathe" "$src/fonts/kst32b.shx" "$work/kst32b.shp" >/dev/null ||
  fail "the installed font tool did not decompile fonts/kst32b.shx"
[ -s "$work/kst32b.shp" ] || fail "the installed font tool wrote no source"
# The installed container shows the drawing through the installed control,
# registered (by the installed registering program) in a registry of its own.
export QM_REGISTRY="$work/registry.ini"
"$prefix/bin/quillmark_register" >/dev/null || fail "the installed quillmark_register failed"
grep -q "$prefix/lib" "$QM_REGISTRY" || fail "the installed control was not registered from the install"
"$prefix/bin/quillmark_host" --size 320x240 --screenshot "$work/hosted.png" "$work/tree/first.kzf" >/dev/null ||
  fail "the installed quillmark_host failed"
[ -s "$work/hosted.png" ] || fail "the installed quillmark_host wrote no screenshot"
[ -n "$(find "$prefix" -path '*/quillmark/support/sample.xml')" ] ||
  fail "the markup template support/sample.xml is not installed"

# On an X display the installed container opens its window (the display
# library is installed beside the control), marks the drawing up, saves the
# markup with the save button, and stays for the user: it is stopped once the
# markup is written. The markup then opens again in the installed container.
if command -v Xvfb >/dev/null; then
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null; [ -n "${host:-}" ] && kill $host 2>/dev/null; rm -rf "$work"' EXIT
  for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || fail "Xvfb did not start"
  cat >"$work/markup.script" <<'STEPS'
command 32843
move 300 500
down 300 500
move 350 480
move 400 520
up 400 520
rclick 400 520
answer file "marked.rml"
command 32781
STEPS
  (cd "$work" && DISPLAY=":$(head -n1 "$work/display")" QM_HEADLESS=0 exec "$prefix/bin/quillmark_host" \
    --size 800x600 --script "$work/markup.script" "$work/tree/first.kzf" >"$work/host.out" 2>"$work/host.err") &
  host=$!
  for _ in $(seq 600); do [ -s "$work/marked.rml" ] || ! kill -0 $host 2>/dev/null && break; sleep 0.1; done
  kill -0 $host 2>/dev/null || { cat "$work/host.err" >&2; fail "the installed quillmark_host ended on the display"; }
  kill $host
  wait $host 2>/dev/null || true
  host=
  ! grep -q "cannot be loaded" "$work/host.err" || { cat "$work/host.err" >&2; fail "the installed quillmark_host found no display library"; }
  grep -q "redline:Polyline" "$work/marked.rml" || fail "the installed quillmark_host saved no markup"
  # The installed font tool shows its dialog on the display too.
  (cd "$work" && DISPLAY=":$(head -n1 "$work/display")" QM_HEADLESS=0 exec "$prefix/bin/fontlathe" --dialog \
    >/dev/null 2>"$work/lathe.err") &
  lathe=$!
  shown=
  for _ in $(seq 300); do
    kill -0 $lathe 2>/dev/null || break
    if xwininfo -display ":$(head -n1 "$work/display")" -root -children 2>/dev/null | grep -q '"fontlathe'; then
      shown=1
      break
    fi
    sleep 0.1
  done
  kill $lathe 2>/dev/null || true
  wait $lathe 2>/dev/null || true
  [ -n "$shown" ] || { cat "$work/lathe.err" >&2; fail "the installed font tool showed no window on the display"; }
  echo "call GetObjectCount" >"$work/count.script"
  (cd "$work" && "$prefix/bin/quillmark_host" --headless --script "$work/count.script" marked.rml >"$work/count.out") ||
    fail "the installed quillmark_host did not open the markup it saved"
  grep -q "GetObjectCount = [1-9]" "$work/count.out" || fail "the markup opened with nothing in it: $(cat "$work/count.out")"
else
  echo "install check: no Xvfb, the installed container is not tried on a display"
fi
control=$(find "$prefix" -name libquillmarkocx.so | head -n 1)
[ -s "$(dirname "$control")/help.htm" ] || fail "no help page beside the installed control"
echo "install check: the installed kernel builds and runs the example (find_package, pkg-config), a plotting program, quillmark_plot, the font tool and the container (on a display: markup saved and opened again)"
