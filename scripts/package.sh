#!/usr/bin/env bash
# Builds the Debian package of the player and prints its path. Usage: scripts/package.sh
# It uses the build folder of scripts/run.sh and scripts/test.sh (below
# $KOLVARIN_BUILD_ROOT when set) and builds only what the package holds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
dir=${KOLVARIN_BUILD_ROOT:-$root}/build
"$root/scripts/build.sh" "$dir" -DKOLVARIN_TESTS=ON -- kolvarin kolvarin_data kolvarin_manual
cd "$dir"
cpack -G DEB -B "$dir/package" >/dev/null
ls "$dir"/package/kolvarin_*.deb
