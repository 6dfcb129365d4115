#include "htmllist/markuplistbox.h"

#include <QScrollBar>
#include <QStyle>

#include <algorithm>

#include "codepage/codepage.h"

namespace kolvarin {

using codepage::AnsiToUtf16;

namespace {

// The tallest markup an item takes; with the 4 pixels of room it stays
// within the 255 pixels a list item may have.
constexpr int MaxMarkupHeight = 251;
constexpr int ItemPadding = 4;

} // namespace

TMarkupListBox::TMarkupListBox(QWidget* parent) : TMarkupListControl(parent) {}

void TMarkupListBox::SetMultiline(bool on)
{
    multiline_ = on;
    UpdateItemSizes();
}

void TMarkupListBox::SetSorted(bool on)
{
    sorted_ = on;
    if (!on || Count() < 2)
        return;
    std::vector<std::pair<std::string, std::unique_ptr<TListItemExtra>>> items;
    std::vector<std::u16string> keys;
    while (Count() > 0) {
        keys.push_back(AnsiToUtf16(SortWithHTML() ? Item(0) : PlainText(0)));
        items.push_back(TakeItem(0));
    }
    std::vector<std::size_t> order(items.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return QString::localeAwareCompare(QString::fromStdU16String(keys[a]), QString::fromStdU16String(keys[b])) < 0;
    });
    std::vector<std::pair<std::string, std::unique_ptr<TListItemExtra>>> sorted;
    for (std::size_t i : order)
        sorted.push_back(std::move(items[i]));
    ReplaceItems(std::move(sorted));
    UpdateItemSizes();
}

void TMarkupListBox::SetLineSpacing(int pixels)
{
    TMarkupListControl::SetLineSpacing(pixels);
    UpdateItemSizes();
}

void TMarkupListBox::SetAutoItemHeight(bool on)
{
    TMarkupListControl::SetAutoItemHeight(on);
    UpdateItemSizes();
}

void TMarkupListBox::SetItemHeight(int height)
{
    if (AutoItemHeight())
        return;
    TMarkupListControl::SetItemHeight(height);
    UpdateItemSizes();
}

void TMarkupListBox::SetItemFont(const gdi::Font& font)
{
    TMarkupListControl::SetItemFont(font);
    UpdateItemSizes();
}

gdi::Rect TMarkupListBox::measureRect() const
{
    gdi::Rect rect{0, 0, ClientWidth(), ClientHeight()};
    if (ScrollHorizontal()) {
        rect.right = rect.left + 4096;
    } else {
        const bool overflowing = std::int64_t(Count()) * ItemHeight() > height();
        rect.right -= overflowing ? style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 4;
    }
    return rect;
}

int TMarkupListBox::cutHeight(int height) const
{
    if (ClientHeight() > 0)
        height = std::min(height, ClientHeight());
    return std::min(height, MaxMarkupHeight) + ItemPadding;
}

void TMarkupListBox::UpdateItemSizes()
{
    updating_ = true;
    const gdi::Rect rect = measureRect();
    int widest = 0;
    for (int i = 0; i < Count(); ++i) {
        const gdi::Size size = MeasureItem(i, TextRect(i, rect));
        SetItemHeightAt(i, AutoItemHeight() ? cutHeight(size.cy) : ItemHeight());
        widest = std::max(widest, size.cx + 6);
    }
    updating_ = false;
    UpdateHorizontalExtent(widest);
    Repaint();
}

void TMarkupListBox::ItemAdded(int index)
{
    const gdi::Size size = MeasureItem(index, TextRect(index, measureRect()));
    SetItemHeightAt(index, cutHeight(size.cy));
    if (ScrollHorizontal() && size.cx + 6 > HorizontalExtent())
        UpdateHorizontalExtent(size.cx + 6);
}

void TMarkupListBox::ItemsRemoved()
{
    if (ScrollHorizontal() && !updating_)
        UpdateHorizontalExtent(WidestItem());
}

void TMarkupListBox::ClientResized()
{
    if (!ScrollHorizontal() && !updating_)
        UpdateItemSizes();
    else if (ScrollHorizontal())
        UpdateHorizontalExtent(WidestItem());
}

void TMarkupListBox::PicturesChanged() { UpdateItemSizes(); }

} // namespace kolvarin
