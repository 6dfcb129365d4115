#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite.
# Usage: scripts/test.sh [--sanitize | --tsan] [CMAKE-OPTION...]
# --sanitize: AddressSanitizer + UBSan, built by clang together with the fuzz
# targets, so that one build checks clang's warnings and the fuzz targets too.
# --tsan: ThreadSanitizer, built by clang; the libraries it cannot see into
# are named in scripts/tsan.supp.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# build/ is configured exactly as scripts/run.sh configures it, so the player
# built by one is not rebuilt by the other. KOLVARIN_BUILD_ROOT, when set, is
# the folder that holds the build folders (CI builds outside the source tree).
builds=${KOLVARIN_BUILD_ROOT:-$root}
dir=$builds/build; opts=(-DKOLVARIN_TESTS=ON); lists=("$root/scripts/packages")
if [ "${1:-}" = "--sanitize" ]; then
  shift
  dir=$builds/build-sanitize
  opts=(-DKOLVARIN_TESTS=ON -DKOLVARIN_SANITIZE=ON -DKOLVARIN_FUZZ=ON -DCMAKE_BUILD_TYPE=Debug)
  lists+=("$root/scripts/packages/fuzz")
  export CC=clang CXX=clang++
elif [ "${1:-}" = "--tsan" ]; then
  shift
  dir=$builds/build-tsan
  opts=(-DKOLVARIN_TESTS=ON -DKOLVARIN_TSAN=ON)
  lists+=("$root/scripts/packages/fuzz")
  export CC=clang CXX=clang++
fi
for arg in "$@"; do
  case "$arg" in
    -D*) ;;
    *) echo "usage: $0 [--sanitize | --tsan] [CMAKE-OPTION...]" >&2; exit 2 ;;
  esac
done
# CI sets KOLVARIN_WERROR=ON; a local build stays lenient.
opts+=(-DKOLVARIN_WERROR="${KOLVARIN_WERROR:-OFF}" "$@")
"$root/scripts/setup.sh" "${lists[@]}"
"$root/scripts/check-format.sh"
"$root/scripts/build.sh" "$dir" "${opts[@]}"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp}
export TSAN_OPTIONS=${TSAN_OPTIONS:-second_deadlock_stack=1:suppressions=$root/scripts/tsan.supp}
cd "$dir"
ctest -j"$(nproc)" --output-on-failure --timeout 300
