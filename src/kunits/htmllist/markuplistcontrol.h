#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include <QCursor>
#include <QTimer>

#include "htmllist/gradient.h"
#include "htmllist/htmldraw.h"
#include "htmllist/htmlpicturecache.h"
#include "htmllist/markuplistbase.h"

namespace kolvarin {

class TImageList;
class TPictureContainer;

// Raised when an item's plain text is asked for outside the list.
class EMarkupListBoxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What the two markup lists share: items drawn by HTMLDraw with a selection
// gradient, anchors that open links or fire events, hints, blinking text,
// animated and downloaded pictures, and incremental search. Main thread
// only. Images and PictureContainer are not owned and must outlive the list
// (or be set back to nullptr first).
class TMarkupListControl : public TMarkupListBase {
public:
    using AnchorEvent = std::function<void(TMarkupListControl* sender, int index, const std::string& anchor)>;
    using AnchorHintEvent = std::function<void(TMarkupListControl* sender, int index, std::string& anchor)>;

    explicit TMarkupListControl(QWidget* parent = nullptr);
    ~TMarkupListControl() override;

    // HTMLStrip of the item; throws EMarkupListBoxError "Item index out of
    // range" outside 0 .. Count() - 1.
    std::string PlainText(int index) const;

    const TImageList* Images() const { return images_; }
    void SetImages(const TImageList* images);
    TPictureContainer* PictureContainer() const { return container_; }
    void SetPictureContainer(TPictureContainer* container) { container_ = container; }
    THTMLPictureCache& PictureCache() { return cache_; }

    TColor URLColor() const { return urlColor_; }
    void SetURLColor(TColor color);
    TGradientStyle& SelectionColors() { return selectionColors_; }
    TColor SelectionFontColor() const { return selectionFontColor_; }
    void SetSelectionFontColor(TColor color);
    TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor color) { shadowColor_ = color; }
    int ShadowOffset() const { return shadowOffset_; }
    void SetShadowOffset(int offset) { shadowOffset_ = offset; }
    bool EnableBlink() const { return enableBlink_; }
    void SetEnableBlink(bool on);
    bool AnchorHint() const { return anchorHint_; }
    void SetAnchorHint(bool on) { anchorHint_ = on; }
    bool ItemHint() const { return itemHint_; }
    void SetItemHint(bool on) { itemHint_ = on; }
    bool HTMLHint() const { return htmlHint_; }
    void SetHTMLHint(bool on) { htmlHint_ = on; }
    bool IncrLookup() const { return incrLookup_; }
    void SetIncrLookup(bool on) { incrLookup_ = on; }
    bool ScrollHorizontal() const { return scrollHorizontal_; }
    void SetScrollHorizontal(bool on) { scrollHorizontal_ = on; }
    bool Ellipsis() const { return ellipsis_; }
    void SetEllipsis(bool on) { ellipsis_ = on; }
    bool SortWithHTML() const { return sortWithHTML_; }
    void SetSortWithHTML(bool on) { sortWithHTML_ = on; }
    int LineSpacing() const { return lineSpacing_; }
    virtual void SetLineSpacing(int pixels);
    bool ShowSelection() const { return showSelection_; }
    void SetShowSelection(bool on);
    bool ShowFocus() const { return showFocus_; }
    void SetShowFocus(bool on);
    bool AutoItemHeight() const { return autoItemHeight_; }
    virtual void SetAutoItemHeight(bool on);
    static constexpr const char* Version() { return "1.9.0.0"; }

    // The style interface (0-7): office-like selection colours.
    void SetComponentStyle(int style);

    // The anchor under a client point and its item; false when none.
    bool AnchorAt(int x, int y, std::string& anchor, int& index);
    // The hint for a client point: with AnchorHint the anchor under it (as
    // OnAnchorHint leaves it), else with ItemHint the item's plain text (its
    // markup with HTMLHint); nullopt for no hint.
    std::optional<std::string> HintText(int x, int y);
    // The text typed so far for the incremental search.
    const std::string& LookupText() const { return lookup_; }
    bool BlinkPhase() const { return blinkPhase_; }

    AnchorEvent OnAnchorClick;
    AnchorEvent OnAnchorEnter;
    AnchorEvent OnAnchorExit;
    AnchorHintEvent OnAnchorHint;

    // Every 100 ms while EnableBlink is on; public so tests can step it.
    void BlinkTimerTick();

protected:
    void DrawItem(gdi::Canvas& canvas, int index, const gdi::Rect& rect, unsigned state) override;
    // Where an item's markup starts, from the item's left edge.
    virtual int ItemIndent(int) const { return 0; }
    // Paints what comes before the markup (the check list's box).
    virtual void DrawItemDecoration(gdi::Canvas&, int, const gdi::Rect&) {}
    virtual bool ItemEnabled(int) const { return true; }
    // After a downloaded picture arrived.
    virtual void PicturesChanged() { Repaint(); }

    // The rectangle the item's markup is laid out in.
    gdi::Rect TextRect(int index, const gdi::Rect& itemRect) const;
    // The base arguments of HTMLDraw for an item.
    THTMLDrawArgs DrawArgs(gdi::Canvas& canvas, int index, const gdi::Rect& itemRect);
    // The markup's width and height laid out in rect (measuring only).
    gdi::Size MeasureItem(int index, const gdi::Rect& rect);
    // The widest item + 6, measured in the item's text rectangle.
    int WidestItem();
    // Sets the horizontal scroll bar for an extent of width pixels.
    void UpdateHorizontalExtent(int width);

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;

    int horizontalGuard_ = 0;

private:
    void openAnchor(int index, const std::string& anchor);
    void search();

    const TImageList* images_ = nullptr;
    TPictureContainer* container_ = nullptr;
    THTMLPictureCache cache_;
    TColor urlColor_ = clBlue;
    TGradientStyle selectionColors_;
    TColor selectionFontColor_ = clHighlightText;
    TColor shadowColor_ = clGray;
    int shadowOffset_ = 1;
    bool enableBlink_ = false;
    bool blinkPhase_ = false;
    int blinkCounter_ = 0;
    QTimer blinkTimer_;
    bool anchorHint_ = false;
    bool itemHint_ = false;
    bool htmlHint_ = false;
    int hintItem_ = -1;
    bool incrLookup_ = false;
    std::string lookup_;
    bool scrollHorizontal_ = false;
    bool ellipsis_ = false;
    bool sortWithHTML_ = false;
    int lineSpacing_ = 0;
    bool showSelection_ = true;
    bool showFocus_ = true;
    bool autoItemHeight_ = true;
    std::string lastAnchor_;
    bool handCursor_ = false;
    QCursor savedCursor_;
};

// True for a link the desktop may open: http, https and mailto. Other
// anchors with "://" are refused, so markup cannot open files or programs.
bool IsOpenableLink(std::string_view anchor);
// True for an anchor the design hands to the shell: it holds "://" or
// "mailto:"; any other anchor fires OnAnchorClick.
bool IsShellAnchor(std::string_view anchor);

} // namespace kolvarin
