#pragma once

#include <string>
#include <vector>

#include <QImage>

#include "gdi/bitmap.h"
#include "gdi/canvas.h"

namespace ktest::markup {

// A white bitmap with a canvas in the markup controls' usual state: a black
// 8-point font and a white brush.
struct Surface {
    explicit Surface(int width = 240, int height = 120);
    kolvarin::gdi::Bitmap bitmap;
    kolvarin::gdi::Canvas canvas;
};

// The bounding box of the pixels inside area that differ from background;
// an empty rectangle when there are none.
kolvarin::gdi::Rect InkBox(const kolvarin::gdi::Bitmap& bitmap, const kolvarin::gdi::Rect& area,
                           kolvarin::gdi::Color background = 0xFFFFFF);
// The pixels inside area whose colour is exactly color.
int CountColor(const kolvarin::gdi::Bitmap& bitmap, const kolvarin::gdi::Rect& area, kolvarin::gdi::Color color);
// The pixels inside area that are reddish (red clearly above green and blue),
// which anti-aliased red text leaves.
int CountReddish(const kolvarin::gdi::Bitmap& bitmap, const kolvarin::gdi::Rect& area);

// One frame of a test GIF: a rectangle filled with one colour of the palette
// (0 red, 1 green, 2 blue, 3 white).
struct GifFrame {
    int left = 0;
    int top = 0;
    int width = 1;
    int height = 1;
    int color = 0;
    int delay = 0; // hundredths of a second
};
// A GIF89a with a global palette of four colours and a graphic control
// extension before every frame.
std::string MakeGif(int width, int height, const std::vector<GifFrame>& frames);

// The image encoded by Qt in a format ("PNG", "BMP", "JPG").
std::string Encode(const QImage& image, const char* format);
// A solid image of one colour.
QImage SolidImage(int width, int height, QColor color);

} // namespace ktest::markup
