#include "gdi/region.h"

#include <random>
#include <stdexcept>

#include <gtest/gtest.h>

using namespace kolvarin::gdi;

TEST(Region, HoleLeavesFourBandsOfRectangles)
{
    Region r(Rect{0, 0, 4, 3});
    r.subtract(Region(Rect{1, 1, 3, 2}));
    EXPECT_EQ(r.rects(), (std::vector<Rect>{{0, 0, 4, 1}, {0, 1, 1, 2}, {3, 1, 4, 2}, {0, 2, 4, 3}}));
    EXPECT_FALSE(r.contains(1, 1));
    EXPECT_TRUE(r.contains(3, 1));
    EXPECT_FALSE(r.contains(4, 0));
    EXPECT_EQ(r.boundingBox(), (Rect{0, 0, 4, 3}));

    r.unite(Region(Rect{1, 1, 3, 2}));
    EXPECT_EQ(r, Region(Rect{0, 0, 4, 3}));
    r.subtract(Region(Rect{-10, -10, 10, 10}));
    EXPECT_TRUE(r.isEmpty());
    EXPECT_EQ(r.boundingBox(), Rect{});
}

TEST(Region, EqualPixelSetsCompareEqualWhateverTheOrder)
{
    Region a(Rect{0, 0, 2, 2});
    a.unite(Region(Rect{2, 0, 4, 2})).unite(Region(Rect{0, 2, 4, 5}));
    Region b(Rect{0, 3, 4, 5});
    b.unite(Region(Rect{0, 0, 4, 3}));
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.rects(), (std::vector<Rect>{{0, 0, 4, 5}}));
}

TEST(Region, RandomOperationsMatchAPixelModel)
{
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(-2, 20);
    for (int round = 0; round < 30; ++round) {
        Region region;
        bool model[24][24] = {};
        for (int op = 0; op < 12; ++op) {
            int x0 = coord(rng), x1 = coord(rng), y0 = coord(rng), y1 = coord(rng);
            Rect r{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
            bool add = rng() % 3 != 0;
            add ? region.unite(Region(r)) : region.subtract(Region(r));
            for (int y = 0; y < 24; ++y)
                for (int x = 0; x < 24; ++x)
                    if (r.contains(x - 2, y - 2))
                        model[y][x] = add;
        }
        QRegion q = region.toQRegion();
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x) {
                ASSERT_EQ(region.contains(x - 2, y - 2), model[y][x]) << round << ": " << x - 2 << "," << y - 2;
                ASSERT_EQ(q.contains(QPoint(x - 2, y - 2)), model[y][x]);
            }
        // The rectangles never overlap and each holds only region pixels.
        int area = 0;
        for (const Rect& r : region.rects())
            area += r.width() * r.height();
        int pixels = 0;
        for (auto& line : model)
            for (bool b : line)
                pixels += b;
        EXPECT_EQ(area, pixels);
    }
}

TEST(Region, BuilderMergesEqualRowsAndRefusesDisorder)
{
    RegionBuilder builder;
    builder.addSpan(0, 0, 2);
    builder.addSpan(0, 2, 3); // touching spans join
    builder.addSpan(1, 0, 3);
    builder.addSpan(1, 5, 5); // empty, ignored
    builder.addSpan(3, 1, 2);
    Region r = builder.take();
    EXPECT_EQ(r.rects(), (std::vector<Rect>{{0, 0, 3, 2}, {1, 3, 2, 4}}));

    RegionBuilder bad;
    bad.addSpan(2, 0, 4);
    EXPECT_THROW(bad.addSpan(2, 3, 5), std::invalid_argument);
    EXPECT_THROW(bad.addSpan(1, 0, 1), std::invalid_argument);
}
