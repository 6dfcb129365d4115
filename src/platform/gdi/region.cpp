#include "gdi/region.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

namespace kolvarin::gdi {

Region::Region(const Rect& rect)
{
    if (!rect.isEmpty())
        bands_.push_back({rect.top, rect.bottom, {{rect.left, rect.right}}});
}

bool Region::contains(int x, int y) const
{
    for (const Band& band : bands_) {
        if (y < band.top)
            return false;
        if (y >= band.bottom)
            continue;
        for (const Span& s : band.spans)
            if (x >= s.left && x < s.right)
                return true;
        return false;
    }
    return false;
}

Rect Region::boundingBox() const
{
    if (bands_.empty())
        return {};
    Rect box{INT_MAX, bands_.front().top, INT_MIN, bands_.back().bottom};
    for (const Band& band : bands_) {
        box.left = std::min(box.left, band.spans.front().left);
        box.right = std::max(box.right, band.spans.back().right);
    }
    return box;
}

std::vector<Rect> Region::rects() const
{
    std::vector<Rect> out;
    for (const Band& band : bands_)
        for (const Span& s : band.spans)
            out.push_back({s.left, band.top, s.right, band.bottom});
    return out;
}

void Region::appendBand(int top, int bottom, std::vector<Span> spans)
{
    if (spans.empty() || top >= bottom)
        return;
    if (!bands_.empty() && bands_.back().bottom == top && bands_.back().spans == spans) {
        bands_.back().bottom = bottom;
        return;
    }
    bands_.push_back({top, bottom, std::move(spans)});
}

template <typename Keep>
Region Region::combine(const Region& a, const Region& b, Keep keep)
{
    std::vector<int> ys;
    for (const Region* r : {&a, &b})
        for (const Band& band : r->bands_) {
            ys.push_back(band.top);
            ys.push_back(band.bottom);
        }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

    static const std::vector<Span> none;
    auto spansAt = [](const Region& r, std::size_t& i, int y) -> const std::vector<Span>& {
        while (i < r.bands_.size() && r.bands_[i].bottom <= y)
            ++i;
        return i < r.bands_.size() && r.bands_[i].top <= y ? r.bands_[i].spans : none;
    };

    Region out;
    std::size_t ia = 0;
    std::size_t ib = 0;
    for (std::size_t k = 0; k + 1 < ys.size(); ++k) {
        const std::vector<Span>& sa = spansAt(a, ia, ys[k]);
        const std::vector<Span>& sb = spansAt(b, ib, ys[k]);
        // Sweep over the span edges of both rows; keep decides membership.
        std::vector<int> xs;
        for (const Span& s : sa) {
            xs.push_back(s.left);
            xs.push_back(s.right);
        }
        for (const Span& s : sb) {
            xs.push_back(s.left);
            xs.push_back(s.right);
        }
        std::sort(xs.begin(), xs.end());
        xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
        auto inside = [](const std::vector<Span>& spans, int x) {
            return std::any_of(spans.begin(), spans.end(), [x](const Span& s) { return x >= s.left && x < s.right; });
        };
        std::vector<Span> spans;
        for (std::size_t j = 0; j + 1 < xs.size(); ++j) {
            if (!keep(inside(sa, xs[j]), inside(sb, xs[j])))
                continue;
            if (!spans.empty() && spans.back().right == xs[j])
                spans.back().right = xs[j + 1];
            else
                spans.push_back({xs[j], xs[j + 1]});
        }
        out.appendBand(ys[k], ys[k + 1], std::move(spans));
    }
    return out;
}

Region& Region::unite(const Region& other)
{
    *this = combine(*this, other, [](bool a, bool b) { return a || b; });
    return *this;
}

Region& Region::subtract(const Region& other)
{
    *this = combine(*this, other, [](bool a, bool b) { return a && !b; });
    return *this;
}

QRegion Region::toQRegion() const
{
    QRegion out;
    for (const Rect& r : rects())
        out += QRect(r.left, r.top, r.width(), r.height());
    return out;
}

void RegionBuilder::addSpan(int y, int left, int right)
{
    if (left >= right)
        return;
    if (haveRow_ && (y < row_ || (y == row_ && !spans_.empty() && left < spans_.back().right)))
        throw std::invalid_argument("region spans out of order");
    if (haveRow_ && y != row_)
        flushRow();
    row_ = y;
    haveRow_ = true;
    if (!spans_.empty() && spans_.back().right == left)
        spans_.back().right = right;
    else
        spans_.push_back({left, right});
}

void RegionBuilder::flushRow()
{
    region_.appendBand(row_, row_ + 1, std::move(spans_));
    spans_.clear();
}

Region RegionBuilder::take()
{
    if (haveRow_)
        flushRow();
    haveRow_ = false;
    return std::move(region_);
}

} // namespace kolvarin::gdi
