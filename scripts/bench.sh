#!/usr/bin/env bash
# Installs what the benchmarks need, builds them and runs each one.
# Usage: scripts/bench.sh [NAME-FILTER]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" "$root/scripts/packages" "$root/scripts/packages/bench"
"$root/scripts/build.sh" build-bench -DCMAKE_BUILD_TYPE=Release -DKOLVARIN_TESTS=OFF -DKOLVARIN_BENCH=ON
for b in "$root"/build-bench/bench/*/bench_*; do
  [ -x "$b" ] || continue
  case "$(basename "$b")" in *"${1:-}"*) ;; *) continue ;; esac
  echo "== $(basename "$b")"
  (cd "$(dirname "$b")" && "$b")
done
