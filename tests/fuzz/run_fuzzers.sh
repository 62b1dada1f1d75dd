#!/usr/bin/env bash
# Runs fuzz targets over the seed corpus, two at a time, and fails when any
# target finds a fault (a crash, a sanitizer report, a timeout, a leak, memory
# beyond the limit).
#   bash tests/fuzz/run_fuzzers.sh [build folder] [seconds] [target...]
# The build folder is configured with clang and -DQM_FUZZ=ON (see
# CMakeLists.txt here). The seeds: those make_seeds writes, those kept in
# seeds/, the repository's own font, and the shared real fonts when present.
# Each run starts from the seeds alone; corpora, logs and findings stay in
# <build>/fuzz-work.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$top/build-fuzz}" && pwd)
secs=${2:-180}
shift 2 || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_kzf_load fuzz_kzf_codec fuzz_shx_font fuzz_kernel_shx fuzz_kernel_shp
  fuzz_glyph_outline fuzz_image_decode fuzz_ttf_name fuzz_text fuzz_dxf_load fuzz_xml_document fuzz_profile)
cmake --build "$build" -j "${QM_JOBS:-$(nproc)}" --target fuzz_make_seeds "${targets[@]}"
work=$build/fuzz-work
rm -rf "$work/seeds" "$work/corpus" "$work/findings" "$work/logs"
mkdir -p "$work"
"$build/bin/fuzz_make_seeds" "$work/seeds"
# The folder the DXF target finds the pictures of its drawings in.
export QM_FUZZ_PICTURES=$work/seeds/pictures
cp -r "$top/tests/fuzz/seeds/kzf" "$top/tests/fuzz/seeds/codec" "$work/seeds/"
cp "$top/fonts/kst32b.shx" "$work/seeds/shx/"
cp "$top/fonts/kst32b.shp" "$work/seeds/shp/"
shared=${QM_SHARED_DIR:-$top/../shared}/testdata/fonts
if [ -d "$shared" ]; then
  cp "$shared"/*.shx "$work/seeds/shx/" 2>/dev/null || true
  cp "$shared"/*.shp "$work/seeds/shp/" 2>/dev/null || true
fi
# Small real DXF files (Debian librecad-data) and the markup template seed
# the exchange targets.
mkdir -p "$work/seeds/dxf" "$work/seeds/xml"
find /usr/share/librecad/patterns -name '*.dxf' -size -60k 2>/dev/null | head -20 |
  xargs -r cp -t "$work/seeds/dxf/" 2>/dev/null || true
cp "$top/support/sample.xml" "$work/seeds/xml/"
seeds() {
  case $1 in
    fuzz_dxf_load) echo dxf ;; fuzz_xml_document) echo xml ;;
    fuzz_kzf_load) echo kzf ;; fuzz_kzf_codec) echo codec ;;
    fuzz_shx_font | fuzz_kernel_shx) echo shx ;; fuzz_kernel_shp) echo shp ;;
    fuzz_glyph_outline) echo outline ;; fuzz_image_decode) echo image ;;
    fuzz_ttf_name) echo ttf ;; fuzz_text) echo text ;; fuzz_profile) echo profile ;;
  esac
}
# Fonts are kept small enough to run quickly but to hold much of a real font.
max_len() {
  case $1 in fuzz_shx_font | fuzz_kernel_shx | fuzz_kernel_shp) echo 16384 ;; *) echo 65536 ;; esac
}
# Writes the run's outcome to <logs>/status: 0 when the target found nothing.
run() {
  local t=$1 corpus=$work/corpus/$1 logs=$work/logs/$1 status=0
  mkdir -p "$corpus" "$work/findings/$t" "$logs"
  "$build/bin/$t" -max_total_time="$secs" -timeout=10 -rss_limit_mb=2048 \
    -max_len="$(max_len "$t")" -artifact_prefix="$work/findings/$t/" -print_final_stats=1 \
    "$corpus" "$work/seeds/$(seeds "$t")" >"$logs/run.log" 2>&1 || status=$?
  echo "$status" >"$logs/status"
  echo "== $t (exit status $status)"
  grep -E "stat::number_of_executed_units|Done [0-9]|ERROR|SUMMARY|Test unit written" "$logs/run.log" || true
}
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  run "${targets[i]}" &
  [ $((i + 1)) -lt ${#targets[@]} ] && run "${targets[i + 1]}" &
  wait
done
failed=()
for t in "${targets[@]}"; do
  [ "$(cat "$work/logs/$t/status")" = 0 ] || failed+=("$t")
done
if [ ${#failed[@]} -gt 0 ]; then
  for t in "${failed[@]}"; do
    echo "---- $t: $work/logs/$t/run.log (findings in $work/findings/$t/)" >&2
    tail -n 40 "$work/logs/$t/run.log" >&2
  done
  echo "fuzzing found faults in: ${failed[*]}" >&2
  exit 1
fi
echo "fuzzing: ${#targets[@]} targets ran ${secs} s each over the seed corpus and found nothing"
