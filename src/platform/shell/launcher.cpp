#include "shell/launcher.h"

#include <QDesktopServices>
#include <QRegularExpression>

#include "shell/serviceslot.h"

namespace kolvarin::shell {

namespace {

class DesktopLauncher : public Launcher {
public:
    bool open(const QUrl& url) override { return QDesktopServices::openUrl(url); }
};

DesktopLauncher desktopLauncher;
ServiceSlot<Launcher> slot(desktopLauncher);

} // namespace

Launcher& CurrentLauncher()
{
    return slot.current();
}

void SetLauncher(Launcher* launcher)
{
    slot.install(launcher);
}

QUrl UrlFromText(const std::u16string& text)
{
    const QString s = QString::fromStdU16String(text).trimmed();
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    if (scheme.match(s).hasMatch())
        return QUrl(s);
    return QUrl::fromLocalFile(s);
}

bool OpenDocument(const std::u16string& text)
{
    const QUrl url = UrlFromText(text);
    return url.isValid() && CurrentLauncher().open(url);
}

} // namespace kolvarin::shell
