#pragma once

#include <string>

#include <QImage>
#include <QMenu>

#include "gdi/bitmap.h"
#include "gdi/canvas.h"

namespace kolvarin {

// A popup menu with a painted side bar at its left: a vertical gradient, a
// text written upwards and a picture (the skin's PopupBackground). The items
// sit right of the bar. Main thread only.
class TBarPopupMenu : public QMenu {
public:
    explicit TBarPopupMenu(QWidget* parent = nullptr);

    bool BarVisible() const { return barVisible_; }
    void SetBarVisible(bool visible);
    int BarWidth() const { return barWidth_; }
    void SetBarWidth(int width);

    gdi::Color GradientStart = gdi::RGB(0, 0, 255);
    gdi::Color GradientEnd = gdi::RGB(0, 0, 0);
    std::u16string VerticalText = u"Kolvarin";
    gdi::Font VerticalFont{u"Tahoma", 14, 0, gdi::RGB(255, 255, 255), true, true, 0};
    int VerticalTextOffsetY = -6;
    int BitmapOffsetX = 0;
    int BitmapOffsetY = 0;
    int BitmapVertAlignment = 1; // 0 top, 1 bottom, 2 centre
    int BitmapHorzAlignment = 0; // 0 left, 1 right, 2 centre

    // The side-bar picture; drawn without the pixels of its transparent
    // colour when it is marked transparent.
    gdi::Bitmap& Bitmap() { return bitmap_; }
    void SetBitmap(const gdi::Bitmap& bitmap);

    // The side bar for a menu of the given height: BarWidth - 2 wide.
    QImage RenderSideBar(int height) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void UpdateMargins();

    bool barVisible_ = true;
    int barWidth_ = 31;
    gdi::Bitmap bitmap_;
};

} // namespace kolvarin
