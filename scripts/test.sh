#!/usr/bin/env bash
# Installs what is missing, builds Kelvra and runs every test: the sanitizer
# build of the tests, the fuzz targets for a short time, the benchmarks once
# briefly, then the release build's tests (unit, window and end-to-end).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=2

echo "== sanitizer build (address, undefined) =="
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKELVRA_SANITIZE=address,undefined \
      -DKELVRA_BENCH=OFF >/dev/null
cmake --build build-asan -j$jobs
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir build-asan -j$jobs --output-on-failure -E '^e2e_'

echo "== thread sanitizer: the slide show's, decode-ahead's and the thumbnail maker's workers =="
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DKELVRA_SANITIZE=thread -DKELVRA_UI=OFF \
      -DKELVRA_BENCH=OFF >/dev/null
cmake --build build-tsan -j$jobs --target core_tests
TSAN_OPTIONS=halt_on_error=1 build-tsan/core_tests --gtest_filter='SlideShow*:DecodeAhead*:ThumbMaker*'

if [ -f scripts/fuzz.sh ]; then
  echo "== fuzz targets, a short run each =="
  bash scripts/fuzz.sh 15
fi

echo "== release build =="
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j$jobs

echo "== benchmarks, once briefly (figures only, never a failure) =="
for b in build/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue
  "$b" --benchmark_min_time=0.01 >/dev/null 2>&1 || echo "benchmark $b did not finish"
done

echo "== tests =="
ctest --test-dir build -j$jobs --output-on-failure
