#!/usr/bin/env bash
# Builds the libFuzzer targets with clang. Usage: scripts/fuzz.sh  then run
#   LSAN_OPTIONS=suppressions=scripts/lsan.supp build-fuzz/fuzz/*/fuzz_* CORPUS
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" "$root/scripts/packages" "$root/scripts/packages/fuzz"
CC=clang CXX=clang++ "$root/scripts/build.sh" build-fuzz -DKOLVARIN_TESTS=OFF -DKOLVARIN_FUZZ=ON
