#!/usr/bin/env bash
# Builds the player and takes pictures of every skinned window with the
# built-in skin (or the named skin), of the news and about windows and of every
# configuration page under a virtual X server, into docs/screenshots/; and the
# running player with its playlist and media controls docked, into
# docs/screenshots/docked.png (the README shows it).
# Usage: scripts/screenshots.sh [SKIN]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" "$root/scripts/packages" "$root/scripts/packages/screenshots"
"$root/scripts/build.sh" build -- kolvarin kolvarin_skinshots kolvarin_dialogshots kolvarin_configshots
mkdir -p "$root/docs/screenshots"
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1280x800x24" "$root/build/src/kunits/skin/shots/kolvarin_skinshots" \
  "$root/docs/screenshots" "$@"
for shots in kolvarin_dialogshots kolvarin_configshots; do
  xvfb-run -a -s "-screen 0 1280x800x24" "$root/build/src/kunits/dialogs/shots/$shots" "$root/docs/screenshots"
done
xvfb-run -a -s "-screen 0 1280x1024x24" "$root/scripts/dockedshot.sh" "$root/build/src/app/kolvarin" \
  "$root/docs/screenshots/docked.png"
echo "Pictures in docs/screenshots/"
