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
    // Qt cannot make the home trash inside a missing data folder, and then
    // moves the file below the current folder instead; so the data folder
    // must exist first.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty() || !QDir().mkpath(data))
        return false;
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
        QStandardPaths::DesktopLocation,     QStandardPaths::DocumentsLocation,    QStandardPaths::MusicLocation,
        QStandardPaths::MoviesLocation,      QStandardPaths::PicturesLocation,     QStandardPaths::HomeLocation,
        QStandardPaths::GenericDataLocation, QStandardPaths::GenericCacheLocation, QStandardPaths::FontsLocation,
    };
    return QStandardPaths::writableLocation(locations[std::size_t(folder)]).toStdU16String();
}

} // namespace kolvarin::shell
