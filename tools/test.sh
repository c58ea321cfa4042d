#!/usr/bin/env bash
# The whole test run: installs what is missing, builds the three configurations
# (native, Windows i686, Windows x86_64) and the release packages, and runs
# every test tier.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
JOBS=$(nproc)
start=$(date +%s)
step() { printf '\n=== %s (%ss)\n' "$*" "$(( $(date +%s) - start ))"; }

step "setup"
bash tools/setup.sh

step "native build and unit tests"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/native -j"$JOBS"
ctest --test-dir build/native --output-on-failure -j"$JOBS"

step "unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="-O1 -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
  -DCMAKE_C_FLAGS="-O1 -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
  -DQUORVEL_BENCHMARKS=OFF >/dev/null
cmake --build build/asan -j"$JOBS"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/asan --output-on-failure -j"$JOBS"

for target in i686 x86_64; do
  step "Windows $target build"
  cmake -S . -B "build/win-$target" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-$target-w64-mingw32.cmake" >/dev/null
  cmake --build "build/win-$target" -j"$JOBS"
done

step "release packages (dist/)"
bash tools/package.sh

if [ -f tests/e2e/run.sh ]; then
  step "end-to-end tests under wine"
  bash tests/e2e/run.sh "$ROOT/build/win-x86_64"
fi

step "benchmarks (figures only; all of them with bash tools/perf.sh)"
for b in build/native/bench/*_bench; do
  [ -x "$b" ] && "$b" --benchmark_min_time=0.05 2>/dev/null | grep -E '^(BM_|Benchmark|-)' || true
done
bash tools/perf.sh --sizes

step "all tests passed"
