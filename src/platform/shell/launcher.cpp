#include "shell/launcher.h"

#include <QDesktopServices>
#include <QRegularExpression>

namespace kolvarin::shell {

namespace {

class DesktopLauncher : public Launcher {
public:
    bool open(const QUrl& url) override { return QDesktopServices::openUrl(url); }
};

DesktopLauncher desktopLauncher;

} // namespace

ServiceSlot<Launcher>& Launchers()
{
    static ServiceSlot<Launcher> slot(desktopLauncher);
    return slot;
}

QUrl UrlFromText(const std::u16string& text)
{
    const QString s = QString::fromStdU16String(text).trimmed();
    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*://|mailto:)"),
                                           QRegularExpression::CaseInsensitiveOption);
    if (scheme.match(s).hasMatch())
        return QUrl(s);
    return QUrl::fromLocalFile(s);
}

bool OpenDocument(const std::u16string& text)
{
    const QUrl url = UrlFromText(text);
    return url.isValid() && Launchers().current().open(url);
}

} // namespace kolvarin::shell
