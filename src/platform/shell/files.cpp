#include "shell/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace kolvarin::shell {

bool MoveToTrash(const std::u16string& path)
{
    if (path.empty())
        return false;
    // Without the user's data folder Qt would fall back to a trash at the top
    // of the file system the file lives on.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    return QFile::moveToTrash(QString::fromStdU16String(path));
}

std::u16string DisplayName(const std::u16string& path)
{
    const QFileInfo info(QString::fromStdU16String(path));
    if (path.empty() || !info.exists())
        return path;
    return info.fileName().toStdU16String();
}

std::u16string SpecialFolderPath(SpecialFolder folder)
{
    // Indexed by SpecialFolder.
    static constexpr QStandardPaths::StandardLocation locations[] = {
        QStandardPaths::DesktopLocation,  QStandardPaths::DocumentsLocation,   QStandardPaths::MusicLocation,
        QStandardPaths::MoviesLocation,   QStandardPaths::PicturesLocation,    QStandardPaths::HomeLocation,
        QStandardPaths::GenericDataLocation, QStandardPaths::GenericCacheLocation, QStandardPaths::FontsLocation,
    };
    return QStandardPaths::writableLocation(locations[std::size_t(folder)]).toStdU16String();
}

} // namespace kolvarin::shell
