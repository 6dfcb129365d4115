#include "htmllist/markuplistbase.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

#include "gdi/qtimage.h"

namespace kolvarin {

TMarkupListBase::TMarkupListBase(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    font_.color = 0;
}

TMarkupListBase::~TMarkupListBase() = default;

std::vector<std::string> TMarkupListBase::Items() const
{
    std::vector<std::string> texts;
    texts.reserve(items_.size());
    for (const ListItem& item : items_)
        texts.push_back(item.text);
    return texts;
}

int TMarkupListBase::Add(const std::string& text)
{
    Insert(Count(), text);
    return Count() - 1;
}

void TMarkupListBase::Insert(int index, const std::string& text)
{
    index = std::clamp(index, 0, Count());
    ListItem item;
    item.text = text;
    item.height = itemHeight_;
    items_.insert(items_.begin() + index, std::move(item));
    if (itemIndex_ >= index)
        ++itemIndex_;
    ItemAdded(index);
    updateScrollBars();
    Repaint();
}

void TMarkupListBase::SetItem(int index, const std::string& text)
{
    if (index < 0 || index >= Count())
        return;
    items_[std::size_t(index)].text = text;
    ItemAdded(index);
    updateScrollBars();
    Repaint();
}

void TMarkupListBase::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    items_.erase(items_.begin() + index);
    if (itemIndex_ == index)
        itemIndex_ = -1;
    else if (itemIndex_ > index)
        --itemIndex_;
    topIndex_ = std::min(topIndex_, std::max(0, Count() - 1));
    ItemsRemoved();
    updateScrollBars();
    Repaint();
}

void TMarkupListBase::Clear()
{
    items_.clear();
    itemIndex_ = -1;
    topIndex_ = 0;
    ItemsRemoved();
    updateScrollBars();
    Repaint();
}

void TMarkupListBase::ReplaceItems(std::vector<std::pair<std::string, std::unique_ptr<TListItemExtra>>> items)
{
    items_.clear();
    itemIndex_ = -1;
    topIndex_ = 0;
    for (auto& [text, extra] : items) {
        ListItem item;
        item.text = std::move(text);
        item.height = itemHeight_;
        item.extra = std::move(extra);
        items_.push_back(std::move(item));
        ItemAdded(Count() - 1);
    }
    updateScrollBars();
    Repaint();
}

std::pair<std::string, std::unique_ptr<TListItemExtra>> TMarkupListBase::TakeItem(int index)
{
    std::pair<std::string, std::unique_ptr<TListItemExtra>> taken{std::move(items_[std::size_t(index)].text),
                                                                  std::move(items_[std::size_t(index)].extra)};
    Delete(index);
    return taken;
}

void TMarkupListBase::SetItemIndex(int index)
{
    if (index < 0 || index >= Count())
        index = -1;
    for (ListItem& item : items_)
        item.selected = false;
    itemIndex_ = index;
    if (index >= 0) {
        items_[std::size_t(index)].selected = true;
        makeVisible(index);
    }
    Repaint();
}

void TMarkupListBase::SetMultiSelect(bool on)
{
    multiSelect_ = on;
    SetItemIndex(itemIndex_);
}

bool TMarkupListBase::Selected(int index) const
{
    return index >= 0 && index < Count() && items_[std::size_t(index)].selected;
}

void TMarkupListBase::SetSelected(int index, bool selected)
{
    if (index < 0 || index >= Count())
        return;
    if (!multiSelect_) {
        SetItemIndex(selected ? index : (index == itemIndex_ ? -1 : itemIndex_));
        return;
    }
    items_[std::size_t(index)].selected = selected;
    RepaintItem(index);
}

void TMarkupListBase::SetTopIndex(int index)
{
    topIndex_ = std::clamp(index, 0, lastTopIndex());
    updateScrollBars();
    Repaint();
}

void TMarkupListBase::SetItemHeight(int height)
{
    itemHeight_ = std::max(1, height);
    for (ListItem& item : items_)
        item.height = itemHeight_;
    updateScrollBars();
    Repaint();
}

int TMarkupListBase::ItemHeightAt(int index) const
{
    return index >= 0 && index < Count() ? items_[std::size_t(index)].height : itemHeight_;
}

void TMarkupListBase::SetItemHeightAt(int index, int height)
{
    if (index < 0 || index >= Count())
        return;
    items_[std::size_t(index)].height = std::max(1, height);
    updateScrollBars();
}

gdi::Rect TMarkupListBase::ItemRect(int index) const
{
    int top = 0;
    if (index >= topIndex_)
        for (int i = topIndex_; i < index; ++i)
            top += ItemHeightAt(i);
    else
        for (int i = index; i < topIndex_; ++i)
            top -= ItemHeightAt(i);
    return {0, top, ClientWidth(), top + ItemHeightAt(index)};
}

int TMarkupListBase::ItemAtPos(int x, int y) const
{
    if (x < 0 || x >= ClientWidth() || y < 0)
        return -1;
    int top = 0;
    for (int i = topIndex_; i < Count(); ++i) {
        top += ItemHeightAt(i);
        if (y < top)
            return i;
        if (top >= ClientHeight())
            break;
    }
    return -1;
}

void TMarkupListBase::SetHorizontalExtent(int width)
{
    horizontalExtent_ = std::max(0, width);
    updateScrollBars();
}

int TMarkupListBase::HorizontalPosition() const { return horizontalScrollBar()->value(); }

void TMarkupListBase::SetItemFont(const gdi::Font& font)
{
    font_ = font;
    Repaint();
}

void TMarkupListBase::SetColor(TColor color) { SetAndRepaint(color_, color); }

void TMarkupListBase::SetFontColor(TColor color) { SetAndRepaint(fontColor_, color); }

void TMarkupListBase::RepaintItem(int index)
{
    if (index < 0 || index >= Count())
        return;
    const gdi::Rect r = ItemRect(index);
    viewport()->update(QRect(0, r.top, ClientWidth(), r.height()));
}

TListItemExtra* TMarkupListBase::Extra(int index) const
{
    return index >= 0 && index < Count() ? items_[std::size_t(index)].extra.get() : nullptr;
}

void TMarkupListBase::SetExtra(int index, std::unique_ptr<TListItemExtra> extra)
{
    if (index >= 0 && index < Count())
        items_[std::size_t(index)].extra = std::move(extra);
}

gdi::Canvas& TMarkupListBase::MeasureCanvas()
{
    scratchCanvas_.font = font_;
    scratchCanvas_.font.color = ColorToRGB(fontColor_);
    scratchCanvas_.brush = gdi::Brush{gdi::BrushStyle::Solid, ColorToRGB(color_)};
    return scratchCanvas_;
}

int TMarkupListBase::lastTopIndex() const
{
    int room = ClientHeight();
    int index = Count();
    while (index > 0 && room - ItemHeightAt(index - 1) >= 0)
        room -= ItemHeightAt(--index);
    return std::min(index, std::max(0, Count() - 1));
}

void TMarkupListBase::updateScrollBars()
{
    const int last = lastTopIndex();
    topIndex_ = std::clamp(topIndex_, 0, last);
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, last);
    vertical->setPageStep(std::max(1, Count() - last));
    vertical->setValue(topIndex_);
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, std::max(0, horizontalExtent_ - ClientWidth()));
    horizontal->setPageStep(std::max(1, ClientWidth()));
    horizontal->setSingleStep(8);
}

void TMarkupListBase::makeVisible(int index)
{
    if (index < topIndex_) {
        SetTopIndex(index);
        return;
    }
    int top = topIndex_;
    while (top < index && ItemRect(index).bottom > ClientHeight())
        topIndex_ = ++top;
    updateScrollBars();
}

void TMarkupListBase::moveCaret(int index, bool keepOthers)
{
    index = std::clamp(index, 0, Count() - 1);
    if (index == itemIndex_ && !keepOthers)
        return;
    if (multiSelect_ && keepOthers) {
        itemIndex_ = index;
        items_[std::size_t(index)].selected = !items_[std::size_t(index)].selected;
        makeVisible(index);
        Repaint();
    } else {
        SetItemIndex(index);
    }
    if (OnClick)
        OnClick();
}

void TMarkupListBase::paintEvent(QPaintEvent*)
{
    const int width = std::max(1, ClientWidth());
    const int height = std::max(1, ClientHeight());
    if (client_.width() != width || client_.height() != height)
        client_ = gdi::Bitmap(width, height);
    gdi::Canvas canvas(client_);
    canvas.brush = gdi::Brush{gdi::BrushStyle::Solid, ColorToRGB(color_)};
    canvas.fillRect({0, 0, width, height});
    const bool focused = hasFocus();
    for (int i = topIndex_; i < Count(); ++i) {
        const gdi::Rect r = ItemRect(i);
        if (r.top >= height)
            break;
        unsigned state = 0;
        if (items_[std::size_t(i)].selected)
            state |= odSelected;
        if (focused && i == itemIndex_)
            state |= odFocused;
        canvas.font = font_;
        canvas.font.color = ColorToRGB(fontColor_);
        DrawItem(canvas, i, r, state);
    }
    QPainter painter(viewport());
    painter.drawImage(0, 0, gdi::ViewAsQImage(client_));
}

void TMarkupListBase::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    ClientResized();
}

void TMarkupListBase::scrollContentsBy(int, int)
{
    topIndex_ = verticalScrollBar()->value();
    Repaint();
}

void TMarkupListBase::keyPressEvent(QKeyEvent* event)
{
    if (Count() == 0) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const int page = std::max(1, lastTopIndex() == 0 ? Count() : Count() - lastTopIndex());
    const int current = std::max(itemIndex_, 0);
    const bool keep = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Up: moveCaret(itemIndex_ < 0 ? 0 : current - 1, keep); break;
    case Qt::Key_Down: moveCaret(itemIndex_ < 0 ? 0 : current + 1, keep); break;
    case Qt::Key_PageUp: moveCaret(current - page + 1, keep); break;
    case Qt::Key_PageDown: moveCaret(current + page - 1, keep); break;
    case Qt::Key_Home: moveCaret(0, keep); break;
    case Qt::Key_End: moveCaret(Count() - 1, keep); break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    event->accept();
}

void TMarkupListBase::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = event->position().toPoint();
    const int index = ItemAtPos(p.x(), p.y());
    if (index >= 0)
        moveCaret(index, event->modifiers() & Qt::ControlModifier);
}

void TMarkupListBase::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void TMarkupListBase::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    RepaintItem(itemIndex_);
}

void TMarkupListBase::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    RepaintItem(itemIndex_);
}

} // namespace kolvarin
