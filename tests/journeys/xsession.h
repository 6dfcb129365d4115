#pragma once

// A private X server with a real window manager, and the hands of a user on
// it: the journeys run the built program there and drive it as a person
// would, through the server, so focus, stacking and event delivery are the
// real ones.

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

#include "kolvarinprocess.h"
#include "virtualdisplay.h"

// Xlib's names (Window, Display, None, Bool ...) stay out of the tests.
struct _XDisplay;

namespace ktest {

using XWindow = unsigned long;

struct TXRect {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
};

// One managed top-level window as the window manager lists it.
struct TXWindowInfo {
    XWindow Id = 0;
    std::string Title; // UTF-8
    bool Viewable = false; // mapped (and not minimised)
    bool Minimised = false; // the window manager keeps it iconic
};

// Xvfb on a free display, 1280 x 800, and openbox managing it.
// Everything is stopped on destruction. Ready() is false when either could
// not be started; Problem() says why.
class TXSession {
public:
    explicit TXSession(const std::filesystem::path& home);
    ~TXSession();
    TXSession(const TXSession&) = delete;
    TXSession& operator=(const TXSession&) = delete;

    bool Ready() const { return display_ != nullptr && wmReady_; }
    const std::string& Problem() const { return problem_; }
    // ":N", for the DISPLAY of the program under test.
    const std::string& DisplayName() const { return server_.Name(); }
    // The window manager still runs (it may not end while a journey goes on).
    bool WindowManagerRuns() const;

    // --- windows --------------------------------------------------------------
    // The windows the window manager manages, in its order (_NET_CLIENT_LIST).
    std::vector<TXWindowInfo> Windows() const;
    // The first managed window whose title starts with the prefix.
    std::optional<TXWindowInfo> Find(const std::string& titlePrefix) const;
    // Waits until a managed window whose title starts with the prefix is viewable.
    std::optional<TXWindowInfo> WaitForWindow(const std::string& titlePrefix,
                                              std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;
    std::string Title(XWindow window) const;
    bool Viewable(XWindow window) const;
    // The client area in screen coordinates.
    TXRect Geometry(XWindow window) const;
    // A viewable override-redirect window (a popup menu), the topmost one.
    std::optional<XWindow> Popup() const;
    // The window that has the keyboard focus (a client window or a child of one).
    XWindow Focus() const;
    // Asks the window manager to activate the window and waits until the focus is in it.
    bool Activate(XWindow window);

    // --- the user's hands ------------------------------------------------------
    void MoveTo(int x, int y);
    // A click (press and release) at a point of the window's client area.
    void Click(XWindow window, int x, int y, int button = 1);
    // Two clicks of the left button there, quick enough to be a double click.
    void DoubleClick(XWindow window, int x, int y);
    // One key with modifiers, by X keysym names joined by '+':
    // "Right", "space", "ctrl+s", "shift+Tab".
    void Press(const std::string& combo);
    // Types ASCII text as key strokes (Shift where the keymap needs it).
    void Type(const std::string& text);
    // Wheel notches over a point of the window: positive away from the user.
    void Wheel(XWindow window, int x, int y, int notches);

    // --- what the user sees --------------------------------------------------
    // The screen (or a window's client area) as a PNG file, for a human to look at.
    bool Screenshot(const std::filesystem::path& png, std::optional<XWindow> window = std::nullopt) const;
    // One pixel of the screen as 0xRRGGBB.
    uint32_t Pixel(int x, int y) const;

private:
    unsigned long Intern(const char* name) const;
    void Sync() const;

    VirtualDisplay server_;
    std::string problem_;
    pid_t wm_ = -1;
    _XDisplay* display_ = nullptr;
    bool wmReady_ = false;
    int lastButton_ = 0;
    TXRect lastClick_;
    std::chrono::steady_clock::time_point lastClickTime_;
};

} // namespace ktest
