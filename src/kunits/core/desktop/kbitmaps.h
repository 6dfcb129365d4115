#pragma once

#include "gdi/bitmap.h"
#include "gdi/canvas.h"
#include "gdi/geometry.h"
#include "gdi/region.h"

namespace kolvarin {

// Skin bitmap helpers. Copies are plain pixel copies (no transparency);
// parts outside either bitmap are skipped. Main thread only.

// The whole source onto the destination at (0, 0).
void BlitBitmap(const gdi::Bitmap& source, gdi::Bitmap& dest);
// The whole source onto the destination at (x, y).
void BlitBitmapAt(const gdi::Bitmap& source, gdi::Bitmap& dest, int x, int y);
// A destination-sized piece of the source, starting at (sourceX, sourceY),
// onto the whole destination.
void BlitBitmapAtOrigin(const gdi::Bitmap& source, gdi::Bitmap& dest, int sourceX, int sourceY);
// The rectangle of the source onto the same rectangle of the destination.
void BlitBitmapRect(const gdi::Bitmap& source, gdi::Bitmap& dest, const gdi::Rect& rect);

// Sizes the destination to width x height (keeping its format) and copies
// that rectangle of the source at (left, top) into it.
void CutBitmapRect(const gdi::Bitmap& source, gdi::Bitmap& dest, int left, int top, int width, int height);

// Lays whole copies of the source from the rectangle's top-left, as long as a
// copy starts inside the rectangle; copies that run past it are clipped only by
// the destination. An empty source draws nothing.
void TileBitmap(const gdi::Bitmap& source, gdi::Bitmap& dest, const gdi::Rect& rect);

// True when any pixel has the colour (red, green and blue compared).
bool BitmapHasColor(const gdi::Bitmap& bitmap, gdi::Color color);

// Converts the bitmap to 24 bits per pixel and returns the region of its
// rectangle without the pixels of the transparent colour.
gdi::Region CreateRegionFromBitmap(gdi::Bitmap& bitmap, gdi::Color transparentColor);

// Converts the bitmap to 24 bits per pixel and tints every pixel that is not
// the transparent colour towards the colour by amount (clamped to 0..255;
// 0 leaves the bitmap as it is).
void ColorizeBitmap(gdi::Bitmap& bitmap, gdi::Color color, int amount, gdi::Color transparentColor);

// The text extent of the 52 letters A-Z and a-z in the canvas's font;
// divide the width by 52 for the average character width.
gdi::Size GetAverageCharWidth(const gdi::Canvas& canvas);

} // namespace kolvarin
