#include "htmllist/markupchecklist.h"

#include <QMouseEvent>

#include <algorithm>
#include <set>

#include "codepage/codepage.h"

namespace kolvarin {

using codepage::AnsiLowerCase;

TMarkupCheckList::TMarkupCheckList(QWidget* parent) : TMarkupListControl(parent) { fixItemHeight(); }

const TMarkupCheckListDataWrapper* TMarkupCheckList::wrapper(int index) const
{
    static const TMarkupCheckListDataWrapper defaults;
    const auto* found = dynamic_cast<const TMarkupCheckListDataWrapper*>(Extra(index));
    return found ? found : &defaults;
}

TMarkupCheckListDataWrapper* TMarkupCheckList::writableWrapper(int index)
{
    if (index < 0 || index >= Count())
        return nullptr;
    if (auto* found = dynamic_cast<TMarkupCheckListDataWrapper*>(Extra(index)))
        return found;
    SetExtra(index, std::make_unique<TMarkupCheckListDataWrapper>());
    return static_cast<TMarkupCheckListDataWrapper*>(Extra(index));
}

bool TMarkupCheckList::GetChecked(int index) const
{
    return wrapper(index)->State == cbChecked && !wrapper(index)->Header;
}

void TMarkupCheckList::SetChecked(int index, bool checked)
{
    if (checked != GetChecked(index))
        SetState(index, checked ? cbChecked : cbUnchecked);
}

TCheckBoxState TMarkupCheckList::GetState(int index) const { return TCheckBoxState(wrapper(index)->State); }

void TMarkupCheckList::SetState(int index, TCheckBoxState state)
{
    if (TMarkupCheckListDataWrapper* w = writableWrapper(index)) {
        w->State = std::uint8_t(state);
        repaintCheck(index);
    }
}

bool TMarkupCheckList::GetItemEnabled(int index) const { return wrapper(index)->Disabled == 0; }

void TMarkupCheckList::SetItemEnabled(int index, bool enabled)
{
    if (TMarkupCheckListDataWrapper* w = writableWrapper(index)) {
        w->Disabled = enabled ? 0 : 1;
        RepaintItem(index);
    }
}

int TMarkupCheckList::GetLevel(int index) const { return wrapper(index)->Level; }

void TMarkupCheckList::SetLevel(int index, int level)
{
    if (TMarkupCheckListDataWrapper* w = writableWrapper(index)) {
        w->Level = std::max(0, level);
        RepaintItem(index);
    }
}

bool TMarkupCheckList::GetHeader(int index) const { return wrapper(index)->Header != 0; }

void TMarkupCheckList::SetHeader(int index, bool header)
{
    if (TMarkupCheckListDataWrapper* w = writableWrapper(index)) {
        w->Header = header ? 1 : 0;
        RepaintItem(index);
    }
}

std::uintptr_t TMarkupCheckList::GetData(int index) const { return wrapper(index)->Data; }

void TMarkupCheckList::SetData(int index, std::uintptr_t value)
{
    if (TMarkupCheckListDataWrapper* w = writableWrapper(index))
        w->Data = value;
}

void TMarkupCheckList::Toggle(int index)
{
    if (index < 0 || index >= Count() || !GetItemEnabled(index) || GetHeader(index))
        return;
    switch (GetState(index)) {
    case cbUnchecked: SetState(index, allowGrayed_ ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(index, cbUnchecked); break;
    case cbGrayed: SetState(index, cbChecked); break;
    }
    if (OnCheckClick)
        OnCheckClick(this);
}

void TMarkupCheckList::SetFlat(bool on)
{
    flat_ = on;
    Repaint();
}

void TMarkupCheckList::SetDuplicates(bool on)
{
    if (on == duplicates_)
        return;
    duplicates_ = on;
    if (on) {
        for (auto& [text, saved] : duplicateItems_) {
            const int index = Add(text);
            SetLevel(index, saved.Level);
            SetData(index, saved.Data);
        }
        duplicateItems_.clear();
        return;
    }
    std::set<std::string> seen;
    std::string previous;
    for (int i = 0; i < Count();) {
        const std::string text = Item(i);
        const bool repeated = seen.count(text) > 0 || (i > 0 && AnsiLowerCase(text) == AnsiLowerCase(previous));
        if (!repeated) {
            seen.insert(text);
            previous = text;
            ++i;
            continue;
        }
        duplicateItems_.emplace_back(text, TSaveObject{GetLevel(i), GetData(i)});
        Delete(i);
    }
}

void TMarkupCheckList::SetItemFont(const gdi::Font& font)
{
    TMarkupListControl::SetItemFont(font);
    fixItemHeight();
}

void TMarkupCheckList::fixItemHeight()
{
    SetItemHeight(MeasureCanvas().textHeight(u"Wg"));
    for (int i = 0; i < Count(); ++i)
        ItemAdded(i);
}

int TMarkupCheckList::ItemIndent(int index) const { return GetHeader(index) ? 0 : (GetLevel(index) + 1) * CheckColumn; }

gdi::Rect TMarkupCheckList::checkRect(int index) const
{
    gdi::Rect r = ItemRect(index);
    // Right-to-left lists mirror the column: it stands in from the right edge.
    if (layoutDirection() == Qt::RightToLeft) {
        const int right = r.right - GetLevel(index) * CheckColumn;
        return {right - CheckColumn, r.top, right, r.bottom};
    }
    const int left = r.left + GetLevel(index) * CheckColumn - (ScrollHorizontal() ? HorizontalPosition() : 0);
    return {left, r.top, left + CheckColumn, r.bottom};
}

void TMarkupCheckList::repaintCheck(int index)
{
    const gdi::Rect r = checkRect(index);
    viewport()->update(QRect(r.left, r.top, r.width(), r.height()));
}

void TMarkupCheckList::DrawItemDecoration(gdi::Canvas& canvas, int index, const gdi::Rect& rect)
{
    if (GetHeader(index))
        return;
    gdi::Rect column = checkRect(index);
    column.top = rect.top;
    column.bottom = rect.bottom;
    DrawCheckBox(canvas, column, GetState(index), GetItemEnabled(index), flat_);
}

void TMarkupCheckList::ItemAdded(int index)
{
    int height = ItemHeight();
    if (OnMeasureItem)
        OnMeasureItem(this, index, height);
    SetItemHeightAt(index, height);
    if (ScrollHorizontal()) {
        const int width = MeasureItem(index, TextRect(index, ItemRect(index))).cx + 6;
        if (width > HorizontalExtent())
            UpdateHorizontalExtent(width);
    }
}

void TMarkupCheckList::refreshExtent()
{
    if (ScrollHorizontal())
        UpdateHorizontalExtent(WidestItem());
}

void TMarkupCheckList::ItemsRemoved() { refreshExtent(); }

void TMarkupCheckList::ClientResized() { refreshExtent(); }

void TMarkupCheckList::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    const int index = ItemAtPos(p.x(), p.y());
    if (event->button() == Qt::LeftButton && index >= 0 && checkRect(index).contains(p.x(), p.y()))
        Toggle(index);
    TMarkupListControl::mousePressEvent(event);
}

} // namespace kolvarin
