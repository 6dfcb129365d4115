#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QIcon>

#include "skin/kcontrol.h"
#include "skin/simpletimer.h"

class QMenu;
class QSystemTrayIcon;

namespace kolvarin {

// The notification-area icon with its tooltip, balloon hints and mouse
// events, on QSystemTrayIcon. Where the desktop has no notification area
// (the offscreen platform, a bare X server) nothing is shown and nothing
// fails: every change and balloon is still recorded, so the windows and
// tests see what would have been shown. Main thread only.
class TKTrayIcon {
public:
    // Balloon icon types.
    enum TBalloonIcon { biNone = 0, biInfo = 1, biWarning = 2, biError = 3 };

    struct TBalloon {
        std::u16string Title; // at most 63 characters
        std::u16string Text; // at most 255 characters
        int IconType = biNone;
        int TimeoutMs = 0;
    };

    TKTrayIcon();
    ~TKTrayIcon();

    void SetIcon(const QIcon& icon);
    bool IconVisible() const { return visible_; }
    void SetIconVisible(bool visible);
    const std::u16string& Hint() const { return hint_; }
    void SetHint(const std::u16string& hint);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool show);
    // The tooltip in effect: the hint (127 characters at most) with ShowHint.
    std::u16string Tip() const;

    void ShowBalloonHint(const std::u16string& title, const std::u16string& text, int iconType, int timeoutSecs);
    const std::vector<TBalloon>& Balloons() const { return balloons_; }

    // The menu a right click opens (when AutoPopup is on).
    QMenu* PopupMenu = nullptr;
    bool AutoPopup = true;
    // Mouse events with the cursor's screen position.
    std::function<void(TMouseButton, TShiftState, int, int)> OnMouseDown;
    std::function<void(TMouseButton, TShiftState, int, int)> OnMouseUp;
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    std::function<void()> OnBalloonClick;

    // A click as the notification area reports it: left (held back while a
    // double click may still follow), double, or right.
    void Clicked(TMouseButton button);
    void DoubleClicked();

    // Whether a real notification area shows the icon.
    bool Shown() const;

private:
    void Update();

    std::unique_ptr<QSystemTrayIcon> tray_;
    QIcon icon_;
    bool visible_ = false;
    std::u16string hint_;
    bool showHint_ = false;
    std::vector<TBalloon> balloons_;
    // Holds a single click back for the double-click time.
    TSimpleTimer clickDelay_;
};

} // namespace kolvarin
