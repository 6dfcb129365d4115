#include "xsession.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <thread>

#include <QImage>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace ktest {

namespace {

constexpr const char* kOpenbox = "/usr/bin/openbox";

void Stop(pid_t pid)
{
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    int status = 0;
    if (!WaitUntil([&] { return ::waitpid(pid, &status, WNOHANG) != 0; }, std::chrono::seconds(5))) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    }
}

// Xlib reports errors (a window that went away between two calls) through a
// handler that ends the process by default; a journey only looks again.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

} // namespace

TXSession::TXSession(const std::filesystem::path& home)
{
    XSetErrorHandler(IgnoreXError);
    if (server_.Name().empty()) {
        problem_ = "Xvfb did not start";
        return;
    }
    display_ = XOpenDisplay(server_.Name().c_str());
    if (!display_) {
        problem_ = "cannot open " + server_.Name();
        return;
    }
    // openbox keeps its cache below HOME: the journey's own folder.
    std::vector<std::string> env = {"DISPLAY=" + server_.Name(), "HOME=" + home.string(), "PATH=/usr/bin:/bin"};
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    // Its chatter (openbox misses Debian's menu file) stays out of the test's output.
    wm_ = SpawnQuietly({kOpenbox, "--sm-disable"}, envp.data());
    // The window manager is ready once it manages a window: a probe of ours.
    const ::Window probe = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 10, 10, 0, 0, 0);
    XMapWindow(display_, probe);
    Sync();
    const auto started = std::chrono::steady_clock::now();
    wmReady_ = wm_ > 0 && WaitUntil(
                              [&] {
                                  for (const TXWindowInfo& w : Windows())
                                      if (w.Id == probe)
                                          return true;
                                  return false;
                              },
                              std::chrono::seconds(30));
    XDestroyWindow(display_, probe);
    Sync();
    const auto took = std::chrono::steady_clock::now() - started;
    if (took > std::chrono::seconds(2))
        std::cout << "openbox took " << std::chrono::duration_cast<std::chrono::milliseconds>(took).count()
                  << " ms to manage a window\n";
    if (!wmReady_)
        problem_ = "openbox did not start";
}

TXSession::~TXSession()
{
    Stop(wm_);
    if (display_)
        XCloseDisplay(display_);
}

bool TXSession::WindowManagerRuns() const { return wm_ > 0 && ::waitpid(wm_, nullptr, WNOHANG) == 0; }

unsigned long TXSession::Intern(const char* name) const { return XInternAtom(display_, name, False); }

void TXSession::Sync() const { XSync(display_, False); }

std::vector<TXWindowInfo> TXSession::Windows() const
{
    std::vector<TXWindowInfo> windows;
    ::Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, DefaultRootWindow(display_), Intern("_NET_CLIENT_LIST"), 0, 1024, False, XA_WINDOW,
                           &type, &format, &count, &after, &data) != Success)
        return windows;
    const auto* ids = reinterpret_cast<const unsigned long*>(data);
    const unsigned long hidden = Intern("_NET_WM_STATE_HIDDEN");
    for (unsigned long i = 0; i < count; ++i) {
        TXWindowInfo info;
        info.Id = ids[i];
        info.Title = Title(info.Id);
        info.Viewable = Viewable(info.Id);
        unsigned char* states = nullptr;
        unsigned long stateCount = 0;
        if (XGetWindowProperty(display_, info.Id, Intern("_NET_WM_STATE"), 0, 64, False, XA_ATOM, &type, &format,
                               &stateCount, &after, &states) == Success &&
            states) {
            const auto* atoms = reinterpret_cast<const unsigned long*>(states);
            for (unsigned long s = 0; s < stateCount; ++s)
                info.Minimised = info.Minimised || atoms[s] == hidden;
            XFree(states);
        }
        windows.push_back(info);
    }
    if (data)
        XFree(data);
    return windows;
}

std::optional<TXWindowInfo> TXSession::Find(const std::string& titlePrefix) const
{
    for (const TXWindowInfo& window : Windows())
        if (window.Title.starts_with(titlePrefix))
            return window;
    return std::nullopt;
}

std::optional<TXWindowInfo> TXSession::WaitForWindow(const std::string& titlePrefix,
                                                     std::chrono::milliseconds timeout) const
{
    std::optional<TXWindowInfo> found;
    WaitUntil(
        [&] {
            for (const TXWindowInfo& window : Windows())
                if (window.Viewable && window.Title.starts_with(titlePrefix)) {
                    found = window;
                    return true;
                }
            return false;
        },
        timeout);
    return found;
}

std::string TXSession::Title(XWindow window) const
{
    ::Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display_, window, Intern("_NET_WM_NAME"), 0, 1024, False, Intern("UTF8_STRING"), &type,
                           &format, &count, &after, &data) == Success &&
        data && count > 0)
        title.assign(reinterpret_cast<const char*>(data), count);
    if (data)
        XFree(data);
    if (title.empty()) {
        char* name = nullptr;
        if (XFetchName(display_, window, &name) && name) {
            title = name;
            XFree(name);
        }
    }
    return title;
}

bool TXSession::Viewable(XWindow window) const
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(display_, window, &attributes) && attributes.map_state == IsViewable;
}

TXRect TXSession::Geometry(XWindow window) const
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, window, &attributes))
        return {};
    int x = 0, y = 0;
    ::Window child;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
    return {x, y, attributes.width, attributes.height};
}

std::optional<XWindow> TXSession::Popup() const
{
    ::Window root, parent, *children = nullptr;
    unsigned int count = 0;
    std::optional<XWindow> popup;
    if (!XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count))
        return popup;
    for (unsigned int i = 0; i < count; ++i) { // bottom to top: the last one found is the topmost
        XWindowAttributes a;
        if (XGetWindowAttributes(display_, children[i], &a) && a.override_redirect && a.map_state == IsViewable &&
            a.width > 1 && a.height > 1)
            popup = children[i];
    }
    if (children)
        XFree(children);
    return popup;
}

XWindow TXSession::Focus() const
{
    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    return focus;
}

bool TXSession::Activate(XWindow window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = Intern("_NET_ACTIVE_WINDOW");
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2; // from a pager: the window manager obeys without asking
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, DefaultRootWindow(display_), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    Sync();
    return WaitUntil([&] {
        for (::Window w = Focus(); w > PointerRoot;) {
            if (w == window)
                return true;
            ::Window root, parent, *children = nullptr;
            unsigned int count = 0;
            if (!XQueryTree(display_, w, &root, &parent, &children, &count))
                return false;
            if (children)
                XFree(children);
            w = parent == root ? 0 : parent;
        }
        return false;
    });
}

void TXSession::MoveTo(int x, int y)
{
    XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
    Sync();
}

void TXSession::Click(XWindow window, int x, int y, int button)
{
    const TXRect r = Geometry(window);
    // Two clicks of a button close in time and place are a double click to
    // the program; separate clicks keep apart as a user's would.
    constexpr auto kDoubleClickTime = std::chrono::milliseconds(600);
    const bool near = std::abs(r.X + x - lastClick_.X) < 8 && std::abs(r.Y + y - lastClick_.Y) < 8;
    if (button == lastButton_ && near)
        std::this_thread::sleep_until(lastClickTime_ + kDoubleClickTime);
    lastButton_ = button;
    lastClick_ = {r.X + x, r.Y + y, 0, 0};
    lastClickTime_ = std::chrono::steady_clock::now();
    MoveTo(r.X + x, r.Y + y);
    XTestFakeButtonEvent(display_, static_cast<unsigned>(button), True, CurrentTime);
    XTestFakeButtonEvent(display_, static_cast<unsigned>(button), False, CurrentTime);
    Sync();
}

void TXSession::DoubleClick(XWindow window, int x, int y)
{
    Click(window, x, y);
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    Sync();
    // A click after this one is a click of its own.
    lastClickTime_ = std::chrono::steady_clock::now();
}

void TXSession::Press(const std::string& combo)
{
    std::vector<unsigned char> codes;
    for (size_t start = 0; start <= combo.size();) {
        size_t end = combo.find('+', start + 1); // "+" alone is a key
        if (end == std::string::npos)
            end = combo.size();
        std::string name = combo.substr(start, end - start);
        if (name == "ctrl")
            name = "Control_L";
        else if (name == "shift")
            name = "Shift_L";
        else if (name == "alt")
            name = "Alt_L";
        const KeySym sym = XStringToKeysym(name.c_str());
        const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(display_, sym);
        if (code == 0)
            ADD_FAILURE() << "no key for \"" << name << "\"";
        else
            codes.push_back(code);
        start = end + 1;
    }
    for (unsigned char code : codes)
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
    for (auto it = codes.rbegin(); it != codes.rend(); ++it)
        XTestFakeKeyEvent(display_, *it, False, CurrentTime);
    Sync();
}

void TXSession::Type(const std::string& text)
{
    const KeyCode shift = XKeysymToKeycode(display_, XK_Shift_L);
    for (const char c : text) {
        const KeySym sym = c == '\n' ? XK_Return : static_cast<KeySym>(static_cast<unsigned char>(c));
        const KeyCode code = XKeysymToKeycode(display_, sym);
        if (code == 0) {
            ADD_FAILURE() << "no key types '" << c << "'";
            continue;
        }
        const bool shifted = XkbKeycodeToKeysym(display_, code, 0, 0) != sym;
        if (shifted)
            XTestFakeKeyEvent(display_, shift, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
        if (shifted)
            XTestFakeKeyEvent(display_, shift, False, CurrentTime);
    }
    Sync();
}

void TXSession::Wheel(XWindow window, int x, int y, int notches)
{
    const TXRect r = Geometry(window);
    MoveTo(r.X + x, r.Y + y);
    const unsigned button = notches > 0 ? 4 : 5;
    for (int i = 0; i < std::abs(notches); ++i) {
        XTestFakeButtonEvent(display_, button, True, CurrentTime);
        XTestFakeButtonEvent(display_, button, False, CurrentTime);
    }
    Sync();
}

bool TXSession::Screenshot(const std::filesystem::path& png, std::optional<XWindow> window) const
{
    const ::Window root = DefaultRootWindow(display_);
    TXRect r{0, 0, DisplayWidth(display_, DefaultScreen(display_)), DisplayHeight(display_, DefaultScreen(display_))};
    if (window)
        r = Geometry(*window);
    if (r.Width <= 0 || r.Height <= 0)
        return false;
    XImage* image = XGetImage(display_, root, r.X, r.Y, static_cast<unsigned>(r.Width), static_cast<unsigned>(r.Height),
                              AllPlanes, ZPixmap);
    if (!image)
        return false;
    QImage picture(r.Width, r.Height, QImage::Format_RGB32);
    for (int y = 0; y < r.Height; ++y)
        for (int x = 0; x < r.Width; ++x)
            picture.setPixel(x, y, static_cast<QRgb>(XGetPixel(image, x, y) & 0xFFFFFF));
    XDestroyImage(image);
    std::error_code ec;
    std::filesystem::create_directories(png.parent_path(), ec);
    return picture.save(QString::fromStdString(png.string()), "PNG");
}

uint32_t TXSession::Pixel(int x, int y) const
{
    XImage* image = XGetImage(display_, DefaultRootWindow(display_), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return 0;
    const auto pixel = static_cast<uint32_t>(XGetPixel(image, 0, 0) & 0xFFFFFF);
    XDestroyImage(image);
    return pixel;
}

} // namespace ktest
