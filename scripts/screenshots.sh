#!/usr/bin/env bash
# Builds the player and takes pictures of every skinned window with the
# built-in skin (or the named skin) and of every configuration page under a
# virtual X server, into docs/screenshots/. Usage: scripts/screenshots.sh [SKIN]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" "$root/scripts/packages" "$root/scripts/packages/screenshots"
"$root/scripts/build.sh" build -- kolvarin_skinshots kolvarin_configshots
mkdir -p "$root/docs/screenshots"
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1280x800x24" "$root/build/src/kunits/skin/shots/kolvarin_skinshots" \
  "$root/docs/screenshots" "$@"
xvfb-run -a -s "-screen 0 1280x800x24" "$root/build/src/kunits/dialogs/shots/kolvarin_configshots" \
  "$root/docs/screenshots"
echo "Pictures in docs/screenshots/"
