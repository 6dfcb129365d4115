#!/usr/bin/env bash
# Installs what is missing, builds the player and starts it; arguments are passed on.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" build -DKOLVARIN_TESTS=OFF -- kolvarin
exec "$root/build/src/app/kolvarin" "$@"
