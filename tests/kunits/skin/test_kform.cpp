#include <gtest/gtest.h>

#include "skin/kform.h"

using namespace kolvarin;

namespace {

// A skinned window on a fixed work area.
class TestForm : public TKForm {
public:
    TestForm(int tag, QRect geometry)
    {
        Tag = tag;
        setGeometry(geometry);
        show();
    }
    QRect WorkArea() const override { return {0, 0, 1280, 800}; }
};

} // namespace

TEST(KFormTest, TheMasterCarriesItsDockedWindowsThroughAMove)
{
    TestForm main(kTagMaster, {100, 100, 300, 100});
    TestForm playlist(kTagFree, {100, 200, 300, 200});
    TestForm controls(kTagFree, {100, 400, 300, 100});
    TestForm loose(kTagFree, {900, 100, 100, 100});
    main.WMEnterSizeMove();
    EXPECT_TRUE(main.Moving());
    EXPECT_EQ(playlist.Tag, kTagDocked);
    EXPECT_EQ(controls.Tag, kTagDocked);
    EXPECT_EQ(loose.Tag, kTagFree);

    bool handled = false;
    const QRect target = main.WMWindowPosChanging({140, 130, 300, 100}, false, handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(target, QRect(140, 130, 300, 100));
    EXPECT_EQ(playlist.pos(), QPoint(140, 230));
    EXPECT_EQ(controls.pos(), QPoint(140, 430));
    // A docked window ignores proposals of its own while the master moves it.
    playlist.WMWindowPosChanging({0, 0, 300, 200}, false, handled);
    EXPECT_FALSE(handled);

    main.WMExitSizeMove();
    EXPECT_FALSE(main.Moving());
    EXPECT_EQ(playlist.Tag, kTagFree);
    EXPECT_EQ(controls.Tag, kTagFree);
}

TEST(KFormTest, ShiftLeavesTheDockedWindowsBehindAndStopsSnapping)
{
    TestForm main(kTagMaster, {100, 100, 300, 100});
    TestForm playlist(kTagFree, {100, 200, 300, 200});
    main.WMEnterSizeMove();
    bool handled = false;
    const QRect target = main.WMWindowPosChanging({5, 130, 300, 100}, true, handled);
    EXPECT_EQ(target.topLeft(), QPoint(5, 130)) << "no snapping to the work area";
    EXPECT_EQ(playlist.pos(), QPoint(100, 200));
    EXPECT_EQ(playlist.Tag, kTagFree);
    EXPECT_FALSE(main.Moving());
}

TEST(KFormTest, FreeWindowsSnapToTheWorkAreaAndToEachOther)
{
    TestForm playlist(kTagFree, {500, 500, 300, 200});
    TestForm controls(kTagFree, {100, 100, 200, 100});
    bool handled = false;
    EXPECT_EQ(controls.WMWindowPosChanging({8, 100, 200, 100}, false, handled).topLeft(), QPoint(0, 100));
    EXPECT_EQ(controls.WMWindowPosChanging({505, 395, 200, 100}, false, handled).topLeft(), QPoint(500, 400));
    // A window that is not visible is not snapped to.
    playlist.hide();
    EXPECT_EQ(controls.WMWindowPosChanging({505, 395, 200, 100}, false, handled).topLeft(), QPoint(505, 395));
}
