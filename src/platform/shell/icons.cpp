#include "shell/icons.h"

#include <QAbstractFileIconProvider>
#include <QFileInfo>
#include <QIcon>
#include <QMimeDatabase>

namespace kolvarin::shell {

QImage FileIcon(const std::u16string& path, int size)
{
    const QString name = QString::fromStdU16String(path);
    const QFileInfo info(name);
    QIcon icon;
    if (info.exists()) {
        icon = QAbstractFileIconProvider().icon(info);
    } else {
        const QMimeType type = QMimeDatabase().mimeTypeForFile(name, QMimeDatabase::MatchExtension);
        icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
    }
    if (icon.isNull())
        return {};
    return icon.pixmap(size, size).toImage();
}

QImage StockIcon(int index, int size)
{
    static constexpr std::pair<int, const char*> kNames[] = {
        {0, "unknown"},
        {1, "text-x-generic"},
        {2, "application-x-executable"},
        {3, "folder"},
        {4, "folder-open"},
        {5, "media-floppy"},
        {6, "media-floppy"},
        {7, "drive-removable-media"},
        {8, "drive-harddisk"},
        {9, "folder-remote"},
        {10, "network-offline"},
        {11, "drive-optical"},
        {12, "drive-harddisk"},
        {13, "applications-internet"},
        {15, "network-server"},
        {16, "printer"},
        {17, "network-workgroup"},
        {22, "system-search"},
        {23, "help-browser"},
        {29, "emblem-symbolic-link"},
        {31, "user-trash"},
        {32, "user-trash-full"},
    };
    for (const auto& [number, name] : kNames)
        if (number == index) {
            const QIcon icon = QIcon::fromTheme(QString::fromLatin1(name));
            return icon.isNull() ? QImage() : icon.pixmap(size, size).toImage();
        }
    return {};
}

} // namespace kolvarin::shell
