#!/usr/bin/env bash
# Builds every configuration and runs every test; fails when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc 2>/dev/null || echo 2)

echo "== native build, unit and end-to-end tests"
cmake --preset default
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

echo "== sanitizers: unit and end-to-end tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

echo "== fuzzing: a short run of every libFuzzer target"
cmake --preset fuzz
cmake --build --preset fuzz -j "$jobs"
ctest --test-dir build-fuzz/fuzz --output-on-failure -j "$jobs"

echo "== Windows build (MinGW-w64, static), unit and end-to-end tests under Wine"
cmake --preset mingw
cmake --build --preset mingw -j "$jobs"
ctest --preset mingw -j "$jobs"
