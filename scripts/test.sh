#!/usr/bin/env bash
# Installs everything, builds both targets and runs every test: unit tests,
# fuzzers for a fixed time, the Linux binary through a pseudo-terminal, and
# the Windows executable under Wine in a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh all
scripts/build.sh all

echo "== unit tests"
ctest --test-dir build/linux --output-on-failure -j "$(nproc)" | tail -n 3

echo "== the downloader under sanitizers"
scripts/sanitize.sh

echo "== fuzzers"
scripts/fuzz.sh "${FUZZ_SECONDS:-20}"

echo "== end to end: Linux"
(cd tests/e2e && python3 -m unittest test_linux)

echo "== end to end: Windows under Wine"
(cd tests/e2e && python3 -m unittest test_wine)
echo "== all tests passed"
