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
    QStandardPaths::StandardLocation location = QStandardPaths::HomeLocation;
    switch (folder) {
    case SpecialFolder::Desktop:
        location = QStandardPaths::DesktopLocation;
        break;
    case SpecialFolder::Documents:
        location = QStandardPaths::DocumentsLocation;
        break;
    case SpecialFolder::Music:
        location = QStandardPaths::MusicLocation;
        break;
    case SpecialFolder::Videos:
        location = QStandardPaths::MoviesLocation;
        break;
    case SpecialFolder::Pictures:
        location = QStandardPaths::PicturesLocation;
        break;
    case SpecialFolder::Home:
        location = QStandardPaths::HomeLocation;
        break;
    case SpecialFolder::Data:
        location = QStandardPaths::GenericDataLocation;
        break;
    case SpecialFolder::Cache:
        location = QStandardPaths::GenericCacheLocation;
        break;
    case SpecialFolder::Fonts:
        location = QStandardPaths::FontsLocation;
        break;
    }
    return QStandardPaths::writableLocation(location).toStdU16String();
}

} // namespace kolvarin::shell
