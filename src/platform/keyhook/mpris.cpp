#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>

#include "keyhook_p.h"

namespace kolvarin::keyhook {

namespace {

const QString kService = QStringLiteral("org.mpris.MediaPlayer2.kolvarin");
const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kRoot = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

QVariantMap RootProperties()
{
    return {
        {QStringLiteral("CanQuit"), false},
        {QStringLiteral("CanRaise"), false},
        {QStringLiteral("HasTrackList"), false},
        {QStringLiteral("Identity"), QStringLiteral("Kolvarin")},
        {QStringLiteral("SupportedUriSchemes"), QStringList()},
        {QStringLiteral("SupportedMimeTypes"), QStringList()},
    };
}

// The player does not tell the hook what plays: the service only carries
// commands, so it offers them all and reports nothing playing.
QVariantMap PlayerProperties()
{
    return {
        {QStringLiteral("PlaybackStatus"), QStringLiteral("Stopped")},
        {QStringLiteral("Rate"), 1.0},
        {QStringLiteral("MinimumRate"), 1.0},
        {QStringLiteral("MaximumRate"), 1.0},
        {QStringLiteral("Metadata"), QVariantMap()},
        {QStringLiteral("Volume"), 1.0},
        {QStringLiteral("Position"), qlonglong(0)},
        {QStringLiteral("CanGoNext"), true},
        {QStringLiteral("CanGoPrevious"), true},
        {QStringLiteral("CanPlay"), true},
        {QStringLiteral("CanPause"), true},
        {QStringLiteral("CanSeek"), false},
        {QStringLiteral("CanControl"), true},
    };
}

std::optional<QVariantMap> PropertiesOf(const QString& interface)
{
    if (interface == kRoot)
        return RootProperties();
    if (interface == kPlayer)
        return PlayerProperties();
    return std::nullopt;
}

} // namespace

std::optional<int64_t> MprisAppCommand(const QString& interface, const QString& member)
{
    if (interface != kPlayer)
        return std::nullopt;
    if (member == QLatin1String("Next"))
        return kAppCommandNext;
    if (member == QLatin1String("Previous"))
        return kAppCommandPrevious;
    if (member == QLatin1String("Stop"))
        return kAppCommandStop;
    if (member == QLatin1String("PlayPause"))
        return kAppCommandPlayPause;
    if (member == QLatin1String("Play"))
        return kAppCommandPlay;
    if (member == QLatin1String("Pause"))
        return kAppCommandPause;
    return std::nullopt;
}

namespace {

bool HandleProperties(const QDBusMessage& message, const QDBusConnection& connection)
{
    const QList<QVariant> args = message.arguments();
    const std::optional<QVariantMap> properties = args.isEmpty() ? std::nullopt : PropertiesOf(args[0].toString());
    if (!properties) {
        connection.send(message.createErrorReply(QDBusError::InvalidArgs, QStringLiteral("No such interface")));
        return true;
    }
    if (message.member() == QLatin1String("GetAll")) {
        connection.send(message.createReply(QVariant::fromValue(*properties)));
    } else if (message.member() == QLatin1String("Get") && args.size() >= 2 &&
               properties->contains(args[1].toString())) {
        connection.send(message.createReply(QVariant::fromValue(QDBusVariant(properties->value(args[1].toString())))));
    } else {
        connection.send(message.createErrorReply(QDBusError::PropertyReadOnly, QStringLiteral("Read-only")));
    }
    return true;
}

} // namespace

QString TMprisObject::introspect(const QString&) const
{
    return QStringLiteral("<interface name=\"org.mpris.MediaPlayer2\">"
                          "<method name=\"Raise\"/><method name=\"Quit\"/>"
                          "<property name=\"CanQuit\" type=\"b\" access=\"read\"/>"
                          "<property name=\"CanRaise\" type=\"b\" access=\"read\"/>"
                          "<property name=\"HasTrackList\" type=\"b\" access=\"read\"/>"
                          "<property name=\"Identity\" type=\"s\" access=\"read\"/>"
                          "<property name=\"SupportedUriSchemes\" type=\"as\" access=\"read\"/>"
                          "<property name=\"SupportedMimeTypes\" type=\"as\" access=\"read\"/>"
                          "</interface>"
                          "<interface name=\"org.mpris.MediaPlayer2.Player\">"
                          "<method name=\"Next\"/><method name=\"Previous\"/><method name=\"Pause\"/>"
                          "<method name=\"PlayPause\"/><method name=\"Stop\"/><method name=\"Play\"/>"
                          "<method name=\"Seek\"><arg name=\"Offset\" type=\"x\" direction=\"in\"/></method>"
                          "<method name=\"SetPosition\"><arg name=\"TrackId\" type=\"o\" direction=\"in\"/>"
                          "<arg name=\"Position\" type=\"x\" direction=\"in\"/></method>"
                          "<method name=\"OpenUri\"><arg name=\"Uri\" type=\"s\" direction=\"in\"/></method>"
                          "<property name=\"PlaybackStatus\" type=\"s\" access=\"read\"/>"
                          "<property name=\"Rate\" type=\"d\" access=\"read\"/>"
                          "<property name=\"MinimumRate\" type=\"d\" access=\"read\"/>"
                          "<property name=\"MaximumRate\" type=\"d\" access=\"read\"/>"
                          "<property name=\"Metadata\" type=\"a{sv}\" access=\"read\"/>"
                          "<property name=\"Volume\" type=\"d\" access=\"read\"/>"
                          "<property name=\"Position\" type=\"x\" access=\"read\"/>"
                          "<property name=\"CanGoNext\" type=\"b\" access=\"read\"/>"
                          "<property name=\"CanGoPrevious\" type=\"b\" access=\"read\"/>"
                          "<property name=\"CanPlay\" type=\"b\" access=\"read\"/>"
                          "<property name=\"CanPause\" type=\"b\" access=\"read\"/>"
                          "<property name=\"CanSeek\" type=\"b\" access=\"read\"/>"
                          "<property name=\"CanControl\" type=\"b\" access=\"read\"/>"
                          "</interface>");
}

bool TMprisObject::handleMessage(const QDBusMessage& message, const QDBusConnection& connection)
{
    const QString interface = message.interface();
    if (interface == kProperties)
        return HandleProperties(message, connection);
    if (const std::optional<int64_t> command = MprisAppCommand(interface, message.member())) {
        KPostHookMessage(kHookAppCommandMessage, 0, *command);
        connection.send(message.createReply());
        return true;
    }
    if (interface == kRoot || interface == kPlayer) {
        // Raise, Quit, Seek, SetPosition, OpenUri: accepted, nothing to do.
        connection.send(message.createReply());
        return true;
    }
    return false;
}

std::unique_ptr<TMprisService> TMprisService::Register()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return nullptr;
    std::unique_ptr<TMprisService> service(new TMprisService());
    service->object_ = std::make_unique<TMprisObject>();
    if (!bus.registerVirtualObject(kPath, service->object_.get()))
        return nullptr;
    if (!bus.registerService(kService)) {
        bus.unregisterObject(kPath);
        return nullptr;
    }
    return service;
}

TMprisService::~TMprisService()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(kService);
    bus.unregisterObject(kPath);
}

} // namespace kolvarin::keyhook
