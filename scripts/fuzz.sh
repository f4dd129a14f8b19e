#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan and UBSan) and runs each for a
# fixed time from its seed corpus. Usage: fuzz.sh [seconds per target]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
CXX=clang++ cmake -S . -B build/fuzz -DUPDATER_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/fuzz -j "$(nproc)" >/dev/null
for target in xml ini zip; do
  corpus=$(mktemp -d)
  cp tests/fuzz/corpus/"$target"/* "$corpus"/
  build/fuzz/fuzz_"$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=0 "$corpus" 2>&1 |
    grep -E 'ERROR|SUMMARY|Done' || true
  status=${PIPESTATUS[0]}
  rm -rf "$corpus"
  [ "$status" -eq 0 ] || { echo "fuzz_$target found a fault"; exit 1; }
  echo "fuzz_$target: ${seconds}s clean"
done
