#!/usr/bin/env bash
# Inside a virtual X server: starts the player in a fresh user folder (a
# first start, so the windows stand docked as one block) with a few
# generated tracks in its playlist, waits until the main window with the
# playlist and the media controls below it is shown, and grabs that block of
# the screen into the PNG file given.
# Usage (from scripts/screenshots.sh): xvfb-run ... scripts/dockedshot.sh PLAYER OUT.png
set -euo pipefail
player=$1 out=$2
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/music"
tracks=("Nightfall Avenue - Glass Harbour" "Nightfall Avenue - Paper Lanterns" "Orla Venn - Northern Lines"
        "Orla Venn - Salt and Cedar" "The Quiet Engines - Tidewater" "The Quiet Engines - Long Way Round")
seconds=(252 198 305 241 187 276)
files=()
for i in "${!tracks[@]}"; do
  file="$work/music/${tracks[$i]}.flac"
  ffmpeg -loglevel error -f lavfi -i "anullsrc=r=44100:cl=stereo" -t "${seconds[$i]}" -c:a flac "$file"
  files+=("$file")
done
KOLVARIN_HOME="$work/home" HOME="$work/home" SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb \
  "$player" /add "${files[@]}" >/dev/null 2>&1 &
pid=$!
# The geometry "x y width height" of the top-level window whose title
# matches the pattern (the main window's title follows the status text);
# empty until it is shown.
geometry() {
  local id
  id=$(xwininfo -root -tree 2>/dev/null | grep -E "^ +0x[0-9a-f]+ \"($1)" | head -1 | awk '{print $1}')
  [ -n "$id" ] || return 0
  xwininfo -id "$id" | awk '
    /Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /Width:/ {w=$NF} /Height:/ {h=$NF} /Map State: IsViewable/ {shown=1}
    END {if (shown) print x, y, w, h}'
}
main="Kolvarin_Main|Kolvarin - " controls="Media Controls"
for _ in $(seq 100); do
  [ -n "$(geometry "$controls")" ] && [ -n "$(geometry "$main")" ] && break
  sleep 0.2
done
sleep 2 # the playlist reads its entries and everything paints
read -r mx my mw _ < <(geometry "$main")
read -r _ cy _ ch < <(geometry "$controls")
ffmpeg -loglevel error -y -f x11grab -draw_mouse 0 -video_size "${mw}x$((cy + ch - my))" -i "$DISPLAY+$mx,$my" -frames:v 1 "$out"
