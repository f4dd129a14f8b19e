#!/usr/bin/env bash
# The downloader's tests under ThreadSanitizer and under AddressSanitizer with
# UndefinedBehaviorSanitizer, built with GCC.
set -euo pipefail
cd "$(dirname "$0")/.."
filter='*Download*:*ServerBehaviours*:*AddTask*:*RateLimiter*'
for kind in thread address,undefined; do
  dir=build/sanitize-${kind%%,*}
  cmake -S . -B "$dir" -DUPDATER_SANITIZE="$kind" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$dir" -j "$(nproc)" --target unit_tests >/dev/null
  # TSan needs an address layout it understands; ASan reports leaks at exit.
  setarch "$(uname -m)" -R env TSAN_OPTIONS=halt_on_error=1 ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1 \
    "$dir/tests/unit_tests" --gtest_filter="$filter" --gtest_brief=1 | tail -n 2
  echo "sanitizer $kind: clean"
done
