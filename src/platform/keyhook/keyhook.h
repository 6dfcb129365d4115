#pragma once

#include <cstdint>
#include <vector>

#include <QEvent>

class QObject;

namespace kolvarin::keyhook {

// The keyboard hook library's stand-in. While enabled it posts to the
// registered window, as THookEvent:
// - 2025 for every key going down or up in the program's windows, and for the
//   global keys (KSetGlobalKeys) wherever the focus is, when an X server can
//   grab them;
// - 2026 for a media command (next, previous, stop, play/pause) that reaches
//   the MPRIS service on the session bus;
// - 2027 for a mouse-wheel turn in the program's windows.
// Main thread only; what is missing (no X server, no session bus) is simply
// not delivered.
constexpr int kHookKeyMessage = 2025;
constexpr int kHookAppCommandMessage = 2026;
constexpr int kHookMouseMessage = 2027;

// LParam of 2025: bit 29 Alt held, bit 30 the key was down before, bit 31 the key goes up.
constexpr int64_t kKeyAltBit = int64_t(1) << 29;
constexpr int64_t kKeyPreviousBit = int64_t(1) << 30;
constexpr int64_t kKeyUpBit = int64_t(1) << 31;
// LParam of 2026: the application command in the high word.
constexpr int64_t kAppCommandNext = 0xB0000;
constexpr int64_t kAppCommandPrevious = 0xC0000;
constexpr int64_t kAppCommandStop = 0xD0000;
constexpr int64_t kAppCommandPlayPause = 0xE0000;
constexpr int64_t kAppCommandPlay = 0x2E0000;
constexpr int64_t kAppCommandPause = 0x2F0000;
// WParam of 2027.
constexpr uint64_t kMouseWheelMessage = 0x20A;

// One posted hook message. KeyState stands in for the keyboard state that a
// handler would ask the system for: 1 Shift, 2 Alt, 4 Ctrl held.
class THookEvent : public QEvent {
public:
    THookEvent(int message, uint64_t wParam, int64_t lParam, uint8_t keyState = 0)
        : QEvent(TypeOf(message)), Message(message), WParam(wParam), LParam(lParam), KeyState(keyState)
    {}

    static QEvent::Type TypeOf(int message) { return static_cast<QEvent::Type>(QEvent::User + message); }

    int Message;
    uint64_t WParam;
    int64_t LParam;
    uint8_t KeyState;
};

// A system-wide key: Windows virtual-key code and modifiers (1 Shift, 2 Alt, 4 Ctrl).
struct TGlobalKey {
    uint16_t Key = 0;
    uint8_t Shift = 0;
};

// The window the messages go to; null stops delivery.
void KSetKolvHandler(QObject* window);
// True when a window is registered; the hook then runs (X grabs and the
// media service only where they are available).
bool KEnableHook();
// True when the hook was on.
bool KDisableHook();
bool KHookEnabled();
// The keys to grab system-wide; takes effect at once while enabled.
void KSetGlobalKeys(std::vector<TGlobalKey> keys);

// Posts one message to the registered window. False when none is registered.
bool KPostHookMessage(int message, uint64_t wParam, int64_t lParam, uint8_t keyState = 0);

} // namespace kolvarin::keyhook
