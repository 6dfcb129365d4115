#!/usr/bin/env bash
# Configures and builds into a build folder. Usage: scripts/build.sh DIR [cmake options...] [-- targets...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
opts=(); targets=()
while [ $# -gt 0 ]; do
  if [ "$1" = "--" ]; then shift; targets=("$@"); break; fi
  opts+=("$1"); shift
done
cmake -S "$root" -B "$root/$dir" -G Ninja "${opts[@]}" >/dev/null
if [ ${#targets[@]} -gt 0 ]; then
  cmake --build "$root/$dir" --target "${targets[@]}"
else
  cmake --build "$root/$dir"
fi
