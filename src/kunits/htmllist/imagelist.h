#pragma once

#include <vector>

#include <QImage>

#include "gdi/canvas.h"

namespace kolvarin {

// A list of same-sized images, drawn by index with their transparency
// ("IDX:n" sources of markup items). Main thread only.
class TImageList {
public:
    TImageList(int width, int height) : width_(width), height_(height) {}

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const { return int(images_.size()); }
    // Adds the image scaled to the list's size; returns its index.
    int Add(const QImage& image);
    // Draws image index at (x, y) in the list's size, or scaled into the
    // rectangle; an index outside the list draws nothing.
    void Draw(gdi::Canvas& canvas, int x, int y, int index) const;
    void Draw(gdi::Canvas& canvas, const gdi::Rect& rect, int index) const;

private:
    int width_;
    int height_;
    std::vector<QImage> images_;
};

} // namespace kolvarin
