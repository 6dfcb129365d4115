#pragma once

#include <vector>

#include <QRegion>

#include "gdi/geometry.h"

namespace kolvarin::gdi {

// A set of pixels kept as horizontal bands, each band a sorted list of
// disjoint spans; bands that would hold the same spans as the band just above
// are merged. Two regions with the same pixels therefore compare equal and
// list the same rectangles. A plain value; not thread-safe.
class Region {
public:
    Region() = default;
    explicit Region(const Rect& rect);

    bool isEmpty() const { return bands_.empty(); }
    bool contains(int x, int y) const;
    Rect boundingBox() const;
    // The rectangles, top to bottom and left to right within a band.
    std::vector<Rect> rects() const;

    Region& unite(const Region& other);
    Region& subtract(const Region& other);

    QRegion toQRegion() const;

    friend bool operator==(const Region&, const Region&) = default;

private:
    friend class RegionBuilder;

    struct Span {
        int left;
        int right;
        friend bool operator==(const Span&, const Span&) = default;
    };
    struct Band {
        int top;
        int bottom;
        std::vector<Span> spans;
        friend bool operator==(const Band&, const Band&) = default;
    };

    template <typename Keep>
    static Region combine(const Region& a, const Region& b, Keep keep);
    void appendBand(int top, int bottom, std::vector<Span> spans);

    std::vector<Band> bands_;
};

// Builds a region row by row, faster than uniting one-pixel rectangles:
// rows are given in increasing order, the spans of a row left to right
// without overlap.
class RegionBuilder {
public:
    void addSpan(int y, int left, int right);
    Region take();

private:
    void flushRow();

    Region region_;
    int row_ = 0;
    bool haveRow_ = false;
    std::vector<Region::Span> spans_;
};

} // namespace kolvarin::gdi
