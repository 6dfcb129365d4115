#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QAbstractScrollArea>

#include "gdi/bitmap.h"
#include "gdi/canvas.h"
#include "htmllist/htmlcolors.h"

namespace kolvarin {

// What a derived list keeps with each item; owned by the item.
struct TListItemExtra {
    virtual ~TListItemExtra() = default;
};

// States passed to DrawItem.
enum TOwnerDrawState : unsigned {
    odSelected = 0x1,
    odFocused = 0x10,
};

// The standard owner-drawn list box both markup lists are built on: items
// are 8-bit (Windows-1252) strings with a height each, one current item (or
// several selected ones with MultiSelect), scrolled by whole items
// vertically and by pixels horizontally up to the horizontal extent. Items
// are painted by DrawItem onto one bitmap of the client area, which is then
// shown. Main thread only.
class TMarkupListBase : public QAbstractScrollArea {
public:
    explicit TMarkupListBase(QWidget* parent = nullptr);
    ~TMarkupListBase() override;

    int Count() const { return int(items_.size()); }
    // index must lie in 0 .. Count() - 1.
    const std::string& Item(int index) const { return items_[std::size_t(index)].text; }
    // Every item's text, in order.
    std::vector<std::string> Items() const;
    // Adds at the end; returns the new index.
    int Add(const std::string& text);
    // Inserts before index (clamped to 0 .. Count()).
    void Insert(int index, const std::string& text);
    // Replaces an item's text; out-of-range indices are ignored.
    void SetItem(int index, const std::string& text);
    // Out-of-range indices are ignored.
    void Delete(int index);
    void Clear();

    // The current item, -1 for none. Setting selects it alone and scrolls it
    // into view; out-of-range values mean none.
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool on);
    bool Selected(int index) const;
    void SetSelected(int index, bool selected);
    int TopIndex() const { return topIndex_; }
    void SetTopIndex(int index);

    // The height new items get, and an item's own height (at least 1).
    int ItemHeight() const { return itemHeight_; }
    virtual void SetItemHeight(int height);
    int ItemHeightAt(int index) const;
    void SetItemHeightAt(int index, int height);

    // The item's rectangle in client coordinates (the first visible item
    // starts at 0; the rectangle does not move with horizontal scrolling).
    gdi::Rect ItemRect(int index) const;
    // The item under a client point, -1 when there is none.
    int ItemAtPos(int x, int y) const;

    // Width the horizontal scroll bar covers (0: no scroll bar), and how far
    // the list is scrolled.
    int HorizontalExtent() const { return horizontalExtent_; }
    void SetHorizontalExtent(int width);
    int HorizontalPosition() const;

    // The items' font and the background colour (clWindow by default).
    const gdi::Font& ItemFont() const { return font_; }
    virtual void SetItemFont(const gdi::Font& font);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);

    // Repaints one item, or all of them.
    void RepaintItem(int index);
    void Repaint() { viewport()->update(); }
    int ClientWidth() const { return viewport()->width(); }
    int ClientHeight() const { return viewport()->height(); }

    // The current item changed by mouse or keyboard.
    std::function<void()> OnClick;

protected:
    // Paints item index into rect of the client bitmap.
    virtual void DrawItem(gdi::Canvas& canvas, int index, const gdi::Rect& rect, unsigned state) = 0;
    // After an item was added or inserted, and after items went.
    virtual void ItemAdded(int) {}
    virtual void ItemsRemoved() {}
    // After the client area changed its size.
    virtual void ClientResized() {}

    // Stores a changed value and repaints.
    template <typename T>
    void SetAndRepaint(T& field, T value)
    {
        field = value;
        Repaint();
    }

    TListItemExtra* Extra(int index) const;
    void SetExtra(int index, std::unique_ptr<TListItemExtra> extra);
    // Replaces the items (texts and extras) in one step, keeping nothing.
    void ReplaceItems(std::vector<std::pair<std::string, std::unique_ptr<TListItemExtra>>> items);
    std::pair<std::string, std::unique_ptr<TListItemExtra>> TakeItem(int index);
    // A canvas on a scratch bitmap with the items' font, for measuring.
    gdi::Canvas& MeasureCanvas();

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    struct ListItem {
        std::string text;
        int height = 16;
        bool selected = false;
        std::unique_ptr<TListItemExtra> extra;
    };

    void updateScrollBars();
    int lastTopIndex() const;
    void makeVisible(int index);
    void moveCaret(int index, bool keepOthers);

    std::vector<ListItem> items_;
    int itemIndex_ = -1;
    int topIndex_ = 0;
    int itemHeight_ = 16;
    int horizontalExtent_ = 0;
    bool multiSelect_ = false;
    gdi::Font font_;
    TColor color_ = clWindow;
    TColor fontColor_ = clWindowText;
    gdi::Bitmap client_;
    gdi::Bitmap scratch_{1, 1};
    gdi::Canvas scratchCanvas_{scratch_};
};

} // namespace kolvarin
