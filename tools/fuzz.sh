#!/usr/bin/env bash
# Builds the fuzz targets into build-fuzz/ (clang, libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for the given seconds (default 30),
# seeded from tests/data. A crash, a sanitizer report, a failed property or
# an input that takes too long fails the script; findings are kept in
# build-fuzz/findings/.
set -euo pipefail
seconds="${1:-30}"
cd "$(dirname "$0")/.."
bash tools/checked-build.sh build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DOSTRAK_FUZZ=ON -DBUILD_TESTING=OFF \
  -- --target fuzz_all

# Seed folders of each target: the files its input stands for.
seeds_for() {
  case "$1" in
    fuzz_converter|fuzz_decoder|fuzz_line_reader) echo tests/data/pastes ;;
    fuzz_project_load) echo tests/data/project ;;
    fuzz_project_roundtrip) echo tests/data/project tests/data/fuzz ;;
    fuzz_optimise) echo tests/data/optimise ;;
    fuzz_crimp|fuzz_songh_reader) echo tests/data/crimp tests/data/song ;;
    fuzz_song_writers) echo tests/data/song ;;
    fuzz_module_import) echo tests/data/modules ;;
    *) ;;
  esac
}

# Targets whose input is a file write it to TMPDIR; memory keeps them fast.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
mkdir -p build-fuzz/findings
failed=()
for target in build-fuzz/tests/fuzz/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name="$(basename "$target")"
  corpus="build-fuzz/corpus/$name"
  log="build-fuzz/$name.log"
  mkdir -p "$corpus"
  # shellcheck disable=SC2046
  if "$target" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2560 -print_final_stats=1 \
       -artifact_prefix="build-fuzz/findings/$name-" "$corpus" $(seeds_for "$name") >"$log" 2>&1; then
    stats="$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1 || true)"
    echo "$name: clean; $stats"
  else
    echo "$name: FINDING (see $log)"
    tail -40 "$log"
    failed+=("$name")
  fi
done
# The song.h reader against the real dasm: far more seeded cases than the
# normal suite runs, with a new seed each time (the log names it; set
# OSTRAK_DASM_SEED to run it again). Needs dasm and the normal build's
# test_engine; about 25 cases a second.
if command -v dasm >/dev/null 2>&1 && [ -x build/tests/test_engine ]; then
  log=build-fuzz/songh_vs_dasm.log
  if OSTRAK_DASM_CASES=$((seconds * 25)) OSTRAK_DASM_SEED="${OSTRAK_DASM_SEED:-$RANDOM}" QT_QPA_PLATFORM=offscreen \
       build/tests/test_engine --gtest_filter='EngineTest.SongReaderAgreesWithDasmOnRandomLines' >"$log" 2>&1; then
    echo "songh_vs_dasm: clean; $(grep 'song.h vs dasm' "$log")"
  else
    echo "songh_vs_dasm: FINDING (see $log)"
    tail -40 "$log"
    failed+=(songh_vs_dasm)
  fi
else
  echo "songh_vs_dasm: skipped (needs dasm and build/tests/test_engine)"
fi
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz findings in: ${failed[*]}"
  exit 1
fi
