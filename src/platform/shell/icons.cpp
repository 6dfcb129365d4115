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

} // namespace kolvarin::shell
