#pragma once

#include "htmllist/markuplistcontrol.h"

namespace kolvarin {

// The markup list box: every item as tall as its markup (up to 255 pixels),
// optionally sorted by plain text and scrolled horizontally to its widest
// item. Main thread only.
class TMarkupListBox : public TMarkupListControl {
public:
    explicit TMarkupListBox(QWidget* parent = nullptr);

    // Stored; setting it lays the items out again and has no other effect.
    bool Multiline() const { return multiline_; }
    void SetMultiline(bool on);
    // Setting True sorts the items once (by plain text, or by markup with
    // SortWithHTML); items added later are not placed.
    bool Sorted() const { return sorted_; }
    void SetSorted(bool on);

    void SetLineSpacing(int pixels) override;
    void SetAutoItemHeight(bool on) override;
    // Used only while AutoItemHeight is off.
    void SetItemHeight(int height) override;
    void SetItemFont(const gdi::Font& font) override;

    // Measures every item again and sizes the horizontal extent.
    void UpdateItemSizes();

protected:
    void ItemAdded(int index) override;
    void ItemsRemoved() override;
    void ClientResized() override;
    void PicturesChanged() override;

private:
    // The rectangle items are measured in.
    gdi::Rect measureRect() const;
    // A measured markup height as the item's height: cut to the client
    // height and 251, plus room.
    int cutHeight(int height) const;

    bool multiline_ = false;
    bool sorted_ = false;
    bool updating_ = false;
};

} // namespace kolvarin
