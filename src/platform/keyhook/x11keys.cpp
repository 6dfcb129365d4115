// Qt first: the X11 headers define names (KeyPress, None, Bool) that Qt's
// own headers use.
#include <QSocketNotifier>

#include <cstdlib>

#include "keyhook/keycodes.h"
#include "keyhook_p.h"

#include <X11/Xlib.h>

namespace kolvarin::keyhook {

namespace {

Display* AsDisplay(void* display) { return static_cast<Display*>(display); }

// A grab refused by the server (another program holds the key) arrives as
// an asynchronous error; it must not end the program.
int IgnoreError(Display*, XErrorEvent*) { return 0; }

unsigned MaskOf(uint8_t shift)
{
    return (shift & 1 ? ShiftMask : 0u) | (shift & 2 ? Mod1Mask : 0u) | (shift & 4 ? ControlMask : 0u);
}

uint8_t ShiftOf(unsigned state)
{
    return static_cast<uint8_t>((state & ShiftMask ? 1 : 0) | (state & Mod1Mask ? 2 : 0) |
                                (state & ControlMask ? 4 : 0));
}

// Caps Lock and Num Lock must not keep a global key from working.
constexpr unsigned kLockMasks[] = {0, LockMask, Mod2Mask, LockMask | Mod2Mask};

} // namespace

std::unique_ptr<TX11KeyGrabber> TX11KeyGrabber::Open()
{
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name)
        return nullptr;
    Display* display = XOpenDisplay(name);
    if (!display)
        return nullptr;
    return std::unique_ptr<TX11KeyGrabber>(new TX11KeyGrabber(display));
}

TX11KeyGrabber::TX11KeyGrabber(void* display) : display_(display)
{
    notifier_ = std::make_unique<QSocketNotifier>(ConnectionNumber(AsDisplay(display_)), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Drain(); });
}

TX11KeyGrabber::~TX11KeyGrabber()
{
    notifier_.reset();
    Ungrab();
    XCloseDisplay(AsDisplay(display_));
}

void TX11KeyGrabber::Grab(const std::vector<TGlobalKey>& keys)
{
    Display* display = AsDisplay(display_);
    Ungrab();
    // Errors arrive by the XSync below at the latest; the handler is the
    // process's, so it is put back at once.
    XErrorHandler previous = XSetErrorHandler(IgnoreError);
    const Window root = DefaultRootWindow(display);
    for (const TGlobalKey& key : keys) {
        const unsigned long keysym = KeysymFromVirtualKey(key.Key);
        const int code = keysym ? XKeysymToKeycode(display, keysym) : 0;
        if (code == 0)
            continue;
        for (unsigned lock : kLockMasks) {
            const unsigned mask = MaskOf(key.Shift) | lock;
            XGrabKey(display, code, mask, root, True, GrabModeAsync, GrabModeAsync);
            grabbed_.emplace_back(code, mask);
        }
    }
    XSync(display, False);
    XSetErrorHandler(previous);
}

void TX11KeyGrabber::Ungrab()
{
    Display* display = AsDisplay(display_);
    for (const auto& [code, mask] : grabbed_)
        XUngrabKey(display, code, mask, DefaultRootWindow(display));
    grabbed_.clear();
    XFlush(display);
}

void TX11KeyGrabber::Drain()
{
    Display* display = AsDisplay(display_);
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != KeyPress && event.type != KeyRelease)
            continue;
        const uint16_t key = VirtualKeyFromKeysym(XLookupKeysym(&event.xkey, 0));
        if (key == 0)
            continue;
        const uint8_t shift = ShiftOf(event.xkey.state);
        int64_t lParam = shift & 2 ? kKeyAltBit : 0;
        if (event.type == KeyRelease)
            lParam |= kKeyUpBit | kKeyPreviousBit;
        KPostHookMessage(kHookKeyMessage, key, lParam, shift);
    }
}

} // namespace kolvarin::keyhook
