#!/usr/bin/env bash
# Installs what is missing, builds the player and starts it; arguments are passed on.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
# The same folder and options as scripts/test.sh: only the player is built here.
"$root/scripts/build.sh" build -DKOLVARIN_TESTS=ON -- kolvarin
exec "$root/build/src/app/kolvarin" "$@"
