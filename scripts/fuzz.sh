#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan and UBSan) and runs each for a
# fixed time from its seed corpus. Usage: fuzz.sh [seconds per target]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
CXX=clang++ cmake -S . -B build/fuzz -DUPDATER_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/fuzz -j "$(nproc)" >/dev/null
for target in xml ini zip; do
  work=$(mktemp -d)
  cp tests/fuzz/corpus/"$target"/* "$work"/
  status=0
  build/fuzz/fuzz_"$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=0 \
    -artifact_prefix="build/fuzz/$target-" "$work" > "build/fuzz/$target.log" 2>&1 || status=$?
  rm -rf "$work"
  if [ "$status" -ne 0 ]; then
    grep -E 'ERROR|SUMMARY|Test unit written' "build/fuzz/$target.log" || tail -n 20 "build/fuzz/$target.log"
    echo "fuzz_$target found a fault"
    exit 1
  fi
  echo "fuzz_$target: ${seconds}s clean"
done
