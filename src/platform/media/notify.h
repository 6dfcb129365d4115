#pragma once

// The window message by which the framework tells the main thread that an
// event is queued: posted to the receiver given to SetNotifyWindow through
// Qt's event loop.

#include <cstdint>
#include <string>

#include <QEvent>

namespace kolvarin::media {

class WindowMessageEvent : public QEvent {
public:
    WindowMessageEvent(int32_t message, intptr_t wParam, intptr_t lParam)
        : QEvent(EventType()), message_(message), wParam_(wParam), lParam_(lParam)
    {}
    static QEvent::Type EventType();
    int32_t Message() const { return message_; }
    intptr_t WParam() const { return wParam_; }
    intptr_t LParam() const { return lParam_; }

private:
    int32_t message_;
    intptr_t wParam_;
    intptr_t lParam_;
};

// Event parameters that the framework allocates (EC_OLE_EVENT texts, the
// time of EC_END_OF_SEGMENT) are freed by IMediaEvent::FreeEventParams.
intptr_t AllocEventString(const std::u16string& text);
const char16_t* EventStringText(intptr_t param);
intptr_t AllocEventTime(int64_t time);
// How many allocated parameters are alive (for tests that check freeing).
int LiveEventParams();

} // namespace kolvarin::media
