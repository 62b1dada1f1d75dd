#!/usr/bin/env bash
# Runs fuzz targets from freshly generated seed corpora, two at a time.
#   bash tests/fuzz/run_fuzzers.sh [build folder] [seconds] [target...]
# The build folder is configured with clang and -DQM_FUZZ=ON (see
# CMakeLists.txt here). Corpora and findings stay in <build>/fuzz-work.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$top/build-fuzz}" && pwd)
secs=${2:-180}
shift 2 || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_kzf_load fuzz_kzf_codec fuzz_shx_font fuzz_kernel_shx fuzz_kernel_shp
  fuzz_glyph_outline fuzz_image_decode fuzz_ttf_name fuzz_text fuzz_dxf_load fuzz_xml_document)
cmake --build "$build" -j3 --target fuzz_make_seeds "${targets[@]}"
work=$build/fuzz-work
rm -rf "$work/seeds"
mkdir -p "$work"
"$build/bin/fuzz_make_seeds" "$work/seeds"
mkdir -p "$work/seeds/none"
# The shared real fonts seed the font target (never part of the repository).
shared=${QM_SHARED_DIR:-$top/../shared}/testdata/fonts
[ -d "$shared" ] && cp "$shared"/*.shx "$work/seeds/shx/" 2>/dev/null || true
[ -d "$shared" ] && cp "$shared"/*.shp "$work/seeds/shp/" 2>/dev/null || true
# Small real DXF files (Debian librecad-data) and the markup template seed
# the exchange targets.
mkdir -p "$work/seeds/dxf" "$work/seeds/xml"
find /usr/share/librecad/patterns -name '*.dxf' -size -60k 2>/dev/null | head -20 |
  xargs -r cp -t "$work/seeds/dxf/" 2>/dev/null || true
cp "$top/support/sample.xml" "$work/seeds/xml/"
seeds() {
  case $1 in
    fuzz_dxf_load) echo dxf ;; fuzz_xml_document) echo xml ;;
    fuzz_shx_font | fuzz_kernel_shx) echo shx ;; fuzz_kernel_shp) echo shp ;;
    fuzz_glyph_outline) echo outline ;; fuzz_image_decode) echo image ;;
    fuzz_ttf_name) echo ttf ;; fuzz_text) echo text ;; *) echo none ;;
  esac
}
# Fonts are kept small enough to run quickly but to hold the real shape font.
max_len() {
  case $1 in fuzz_shx_font | fuzz_kernel_shx | fuzz_kernel_shp) echo 16384 ;; *) echo 65536 ;; esac
}
run() {
  local t=$1 corpus=$work/corpus/$1
  mkdir -p "$corpus" "$work/findings/$t" "$work/logs/$t"
  # With -jobs the fuzzer writes fuzz-0.log into the current folder.
  cd "$work/logs/$t"
  "$build/bin/$t" -max_total_time="$secs" -jobs=1 -timeout=10 -rss_limit_mb=2048 \
    -max_len="$(max_len "$t")" -artifact_prefix="$work/findings/$t/" -print_final_stats=1 \
    "$corpus" "$work/seeds/$(seeds "$t")" >run.log 2>&1 || true
  echo "== $t"
  cat run.log fuzz-*.log 2>/dev/null | grep -E "stat::|Done [0-9]|ERROR|SUMMARY|Test unit written" || true
}
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  run "${targets[i]}" &
  [ $((i + 1)) -lt ${#targets[@]} ] && run "${targets[i + 1]}" &
  wait
done
