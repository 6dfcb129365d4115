#!/usr/bin/env bash
# Configures and builds into a build folder. Usage: scripts/build.sh DIR [cmake options...] [-- targets...]
# DIR is relative to the source folder, or absolute (a build outside it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
case "$dir" in /*) ;; *) dir=$root/$dir ;; esac
opts=(); targets=()
while [ $# -gt 0 ]; do
  if [ "$1" = "--" ]; then shift; targets=("$@"); break; fi
  opts+=("$1"); shift
done
cmake -S "$root" -B "$dir" -G Ninja "${opts[@]}" >/dev/null
if [ ${#targets[@]} -gt 0 ]; then
  cmake --build "$dir" --target "${targets[@]}"
else
  cmake --build "$dir"
fi
