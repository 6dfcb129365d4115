#!/usr/bin/env bash
# Inside a virtual X server: starts the player in a fresh user folder with a
# few generated tracks in its playlist, waits until the main window with the
# playlist and the media controls docked below it is shown, and grabs that
# block of the screen into the PNG file given.
# Usage (from scripts/screenshots.sh): xvfb-run ... scripts/dockedshot.sh PLAYER OUT.png
set -euo pipefail
player=$1 out=$2
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/music"
# No news window on the picture.
cat > "$work/home/config.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<KolvarinConfigFile>
  <NewsWindowOnStartUp Show="false" />
</KolvarinConfigFile>
EOF
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
# The geometry of a window by its title: "x y width height", empty until it is shown.
geometry() {
  xwininfo -name "$1" 2>/dev/null | awk '
    /Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /Width:/ {w=$NF} /Height:/ {h=$NF} /Map State: IsViewable/ {shown=1}
    END {if (shown) print x, y, w, h}'
}
for _ in $(seq 100); do
  [ -n "$(geometry "Media Controls")" ] && [ -n "$(geometry Kolvarin_Main)" ] && break
  sleep 0.2
done
sleep 2 # the playlist reads its entries and everything paints
read -r mx my mw _ < <(geometry Kolvarin_Main)
read -r cx cy _ ch < <(geometry "Media Controls")
ffmpeg -loglevel error -y -f x11grab -draw_mouse 0 -video_size "${mw}x$((cy + ch - my))" -i "$DISPLAY+$mx,$my" -frames:v 1 "$out"
