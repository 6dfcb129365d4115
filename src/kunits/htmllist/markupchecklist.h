#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "htmllist/checkboxdraw.h"
#include "htmllist/markuplistcontrol.h"

namespace kolvarin {

// What the check list keeps per item; made at the first write. An item
// without one reads as unchecked, enabled, level 0, no heading, data 0.
struct TMarkupCheckListDataWrapper : TListItemExtra {
    std::uintptr_t Data = 0; // the caller's value for the item
    std::uint8_t State = cbUnchecked;
    std::uint8_t Disabled = 0;
    int Level = 0;
    std::uint8_t Header = 0; // a heading without a check box
};

// An item's level and data while it waits in the side list of duplicates.
struct TSaveObject {
    int Level = 0;
    std::uintptr_t Data = 0;
};

// The markup check list: a three-state check box in front of each item,
// per-item enabled and heading flags and an indent level; all items are one
// line of the font high. Main thread only.
class TMarkupCheckList : public TMarkupListControl {
public:
    explicit TMarkupCheckList(QWidget* parent = nullptr);

    // Out-of-range indices read as the defaults and are ignored on writes.
    bool GetChecked(int index) const; // state checked and not a heading
    void SetChecked(int index, bool checked);
    TCheckBoxState GetState(int index) const;
    void SetState(int index, TCheckBoxState state);
    bool GetItemEnabled(int index) const;
    void SetItemEnabled(int index, bool enabled);
    int GetLevel(int index) const;
    void SetLevel(int index, int level);
    bool GetHeader(int index) const;
    void SetHeader(int index, bool header);
    std::uintptr_t GetData(int index) const;
    void SetData(int index, std::uintptr_t data);

    // A click on the item's check box: only for an enabled item that is not
    // a heading; unchecked becomes grayed (with AllowGrayed) or checked,
    // checked unchecked, grayed checked; then OnCheckClick fires.
    void Toggle(int index);

    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool on) { allowGrayed_ = on; }
    bool Flat() const { return flat_; }
    void SetFlat(bool on);
    // Off: every item whose text came before (exactly), or equals the item
    // before it ignoring case, waits in a side list with its level and data;
    // on again: they come back at the end. The same value again does nothing.
    bool Duplicates() const { return duplicates_; }
    void SetDuplicates(bool on);

    // Items are as high as "Wg" in the font (or as OnMeasureItem says).
    void SetItemFont(const gdi::Font& font) override;

    std::function<void(TMarkupCheckList* sender)> OnCheckClick;
    std::function<void(TMarkupCheckList* sender, int index, int& height)> OnMeasureItem;

    // The check box's width plus 2: one indent step.
    static constexpr int CheckColumn = CheckBoxWidth + 2;

protected:
    int ItemIndent(int index) const override;
    void DrawItemDecoration(gdi::Canvas& canvas, int index, const gdi::Rect& rect) override;
    bool ItemEnabled(int index) const override { return GetItemEnabled(index); }
    void ItemAdded(int index) override;
    void ItemsRemoved() override;
    void ClientResized() override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    const TMarkupCheckListDataWrapper* wrapper(int index) const;
    TMarkupCheckListDataWrapper* writableWrapper(int index);
    // The item's check column in client coordinates.
    gdi::Rect checkRect(int index) const;
    void repaintCheck(int index);
    void refreshExtent();
    void fixItemHeight();

    bool allowGrayed_ = false;
    bool flat_ = true;
    bool duplicates_ = true;
    std::vector<std::pair<std::string, TSaveObject>> duplicateItems_;
};

} // namespace kolvarin
