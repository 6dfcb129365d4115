#include "forms/screensaver.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace kolvarin {

namespace {

// A screen saver that does not answer must not hold the window up.
constexpr int kBusTimeoutMs = 500;

QDBusMessage CallScreenSaver(const QString& method, const QList<QVariant>& arguments)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return {};
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.ScreenSaver"),
                                                       QStringLiteral("/org/freedesktop/ScreenSaver"),
                                                       QStringLiteral("org.freedesktop.ScreenSaver"), method);
    call.setArguments(arguments);
    return bus.call(call, QDBus::Block, kBusTimeoutMs);
}

} // namespace

std::optional<uint32_t> TKDBusScreensaver::Inhibit()
{
    const QDBusMessage reply = CallScreenSaver(
        QStringLiteral("Inhibit"), {QStringLiteral("Kolvarin"), QStringLiteral("Playing video full screen")});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    return reply.arguments().first().toUInt();
}

void TKDBusScreensaver::UnInhibit(uint32_t cookie) { CallScreenSaver(QStringLiteral("UnInhibit"), {cookie}); }

void TKScreensaverInhibit::SetScreensaver(TKScreensaver& screensaver)
{
    Release();
    screensaver_ = &screensaver;
}

void TKScreensaverInhibit::Hold()
{
    if (!cookie_)
        cookie_ = screensaver_->Inhibit();
}

void TKScreensaverInhibit::Release()
{
    if (cookie_)
        screensaver_->UnInhibit(*cookie_);
    cookie_.reset();
}

} // namespace kolvarin
