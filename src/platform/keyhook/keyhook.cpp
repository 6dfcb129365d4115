#include "keyhook/keyhook.h"

#include <algorithm>

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWheelEvent>

#include "keyhook/keycodes.h"
#include "keyhook_p.h"

namespace kolvarin::keyhook {

namespace {

uint8_t ShiftOf(Qt::KeyboardModifiers modifiers)
{
    return static_cast<uint8_t>((modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::AltModifier ? 2 : 0) |
                                (modifiers & Qt::ControlModifier ? 4 : 0));
}

// True when Ancestor lies strictly above Object in the parent chain.
bool IsAbove(const QObject* ancestor, const QObject* object)
{
    for (const QObject* p = object ? object->parent() : nullptr; p; p = p->parent())
        if (p == ancestor)
            return true;
    return false;
}

// Sees every key and wheel event of the program's windows. Under a window
// system an event reaches the window first and then the widget it is for;
// Qt hands one that a widget ignores on to its parents, each time through
// the application's filters: only its first delivery to a widget counts.
class TApplicationFilter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if ((type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::Wheel) ||
            !watched->isWidgetType())
            return QObject::eventFilter(watched, event);
        // An open popup menu owns the keys and the wheel: its arrow keys must
        // not also seek or step through the playlist.
        if (QApplication::activePopupWidget())
            return false;
        const auto* input = static_cast<const QInputEvent*>(event);
        const bool passedOn = event == last_ && input->timestamp() == lastTime_ && IsAbove(watched, lastWatched_);
        last_ = event;
        lastTime_ = input->timestamp();
        lastWatched_ = watched;
        if (passedOn)
            return false;
        const uint8_t shift = ShiftOf(input->modifiers());
        if (type == QEvent::Wheel) {
            const int delta = static_cast<const QWheelEvent*>(event)->angleDelta().y();
            if (delta != 0) {
                // Whole notches, at least one, as a signed byte.
                const int turn = delta / 120 != 0 ? delta / 120 : (delta > 0 ? 1 : -1);
                KPostHookMessage(kHookMouseMessage, kMouseWheelMessage,
                                 static_cast<uint8_t>(static_cast<int8_t>(std::clamp(turn, -128, 127))), shift);
            }
            return false;
        }
        const auto* key = static_cast<const QKeyEvent*>(event);
        const uint16_t vk = VirtualKeyFromQtKey(key->key());
        if (vk == 0)
            return false;
        int64_t lParam = shift & 2 ? kKeyAltBit : 0;
        if (key->isAutoRepeat())
            lParam |= kKeyPreviousBit;
        if (type == QEvent::KeyRelease)
            lParam |= kKeyUpBit | kKeyPreviousBit;
        KPostHookMessage(kHookKeyMessage, vk, lParam, shift);
        return false;
    }

private:
    const QEvent* last_ = nullptr;
    quint64 lastTime_ = 0;
    QPointer<QObject> lastWatched_;
};

struct THookState {
    QPointer<QObject> window;
    bool enabled = false;
    std::vector<TGlobalKey> globalKeys;
    std::unique_ptr<TApplicationFilter> filter;
    std::unique_ptr<TX11KeyGrabber> grabber;
    std::unique_ptr<TMprisService> mpris;
};

THookState& State()
{
    static THookState state;
    return state;
}

} // namespace

void KSetKolvHandler(QObject* window) { State().window = window; }

bool KEnableHook()
{
    THookState& s = State();
    if (!s.window)
        return false;
    if (s.enabled)
        return true;
    s.enabled = true;
    if (QCoreApplication* app = QCoreApplication::instance()) {
        s.filter = std::make_unique<TApplicationFilter>();
        app->installEventFilter(s.filter.get());
    }
    s.grabber = TX11KeyGrabber::Open();
    if (s.grabber)
        s.grabber->Grab(s.globalKeys);
    s.mpris = TMprisService::Register();
    return true;
}

bool KDisableHook()
{
    THookState& s = State();
    if (!s.enabled)
        return false;
    s.enabled = false;
    s.mpris.reset();
    s.grabber.reset();
    s.filter.reset(); // a destroyed filter leaves the application's list
    return true;
}

bool KHookEnabled() { return State().enabled; }

void KSetGlobalKeys(std::vector<TGlobalKey> keys)
{
    THookState& s = State();
    s.globalKeys = std::move(keys);
    if (s.grabber)
        s.grabber->Grab(s.globalKeys);
}

bool KPostHookMessage(int message, uint64_t wParam, int64_t lParam, uint8_t keyState)
{
    QObject* window = State().window;
    if (!window)
        return false;
    QCoreApplication::postEvent(window, new THookEvent(message, wParam, lParam, keyState));
    return true;
}

} // namespace kolvarin::keyhook
