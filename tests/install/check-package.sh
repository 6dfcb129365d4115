#!/usr/bin/env bash
# Checks a built Debian package: it holds the program, its shared data and
# the desktop's files below /usr, and depends on the libraries the program
# opens on first use as well as on those it links. Usage: check-package.sh DEB
set -euo pipefail
deb=$1
files=$(dpkg-deb -c "$deb" | sed -E 's/^([^ ]+ +){5}//')
depends=$(dpkg-deb -f "$deb" Depends)
failed=0
for path in \
  ./usr/bin/kolvarin \
  ./usr/share/applications/kolvarin.desktop \
  ./usr/share/icons/hicolor/16x16/apps/kolvarin.png \
  ./usr/share/icons/hicolor/256x256/apps/kolvarin.png \
  ./usr/share/icons/hicolor/scalable/apps/kolvarin.svg \
  ./usr/share/metainfo/org.kolvarin.Kolvarin.metainfo.xml \
  ./usr/share/man/man1/kolvarin.1.gz \
  ./usr/share/kolvarin/data/languages/English.klang \
  ./usr/share/kolvarin/data/db/audioformats.xml \
  ./usr/share/kolvarin/data/db/videoformats.xml \
  ./usr/share/kolvarin/data/skins/base.kskz \
  ./usr/share/kolvarin/data/presets/Flat.keqp \
  ./usr/share/kolvarin/data/icons/mp3.ico \
  ./usr/share/kolvarin/data/icons/dvd.ico \
  "./usr/share/kolvarin/data/dsgraphs/Kolvarin Codec Pack.kgraph" \
  "./usr/share/kolvarin/data/dvdgraphs/Kolvarin Codec Pack.kgraph"; do
  if ! grep -qxF "$path" <<<"$files"; then
    echo "missing from the package: $path"
    failed=1
  fi
done
for lib in libqt6widgets6 libdvdnav4 libavcodec libsdl2; do
  if ! grep -q "\b$lib" <<<"$depends"; then
    echo "no dependency on $lib: $depends"
    failed=1
  fi
done
[ "$failed" = 0 ] && echo "The package holds every file and names its libraries: $deb"
exit "$failed"
