#!/usr/bin/env bash
# Installs the dependencies, builds everything and runs the whole test suite: the
# QtTest suites offscreen and the real-window checks under Xvfb. On CI it then repeats
# the suites in a build with the address and undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
# In CI every compiler warning fails the build.
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DJOTTERLY_WERROR=$werror >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"
if [ "${CI:-}" = "true" ] || [ "${JOTTERLY_SANITIZE:-}" = "1" ]; then
  cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DJOTTERLY_SANITIZE=ON -DJOTTERLY_BUILD_BENCH=OFF \
    -DJOTTERLY_WERROR=$werror >/dev/null
  cmake --build build-asan -j"$jobs"
  ASAN_OPTIONS=detect_leaks=0 ctest --test-dir build-asan --output-on-failure -j"$jobs" -LE e2e
fi
