#include "shell/network.h"

#include <QHostAddress>
#include <QNetworkInformation>
#include <QNetworkInterface>

namespace kolvarin::shell {

namespace {

bool anyInterfaceOnline()
{
    for (const QNetworkInterface& iface : QNetworkInterface::allInterfaces()) {
        const auto flags = iface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning) ||
            flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : iface.addressEntries()) {
            const QHostAddress ip = entry.ip();
            if (!ip.isLoopback() && !ip.isLinkLocal())
                return true;
        }
    }
    return false;
}

} // namespace

bool IsOnline()
{
    static const bool haveBackend = QNetworkInformation::loadDefaultBackend();
    if (haveBackend && QNetworkInformation::instance()) {
        switch (QNetworkInformation::instance()->reachability()) {
        case QNetworkInformation::Reachability::Online: return true;
        case QNetworkInformation::Reachability::Disconnected:
        case QNetworkInformation::Reachability::Local:
        case QNetworkInformation::Reachability::Site: return false;
        case QNetworkInformation::Reachability::Unknown: break;
        }
    }
    return anyInterfaceOnline();
}

} // namespace kolvarin::shell
