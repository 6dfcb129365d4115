#include "core/system/kprogramicon.h"

#include <filesystem>

#include <QFile>
#include <QString>

#include "core/system/kfilesave.h"

namespace kolvarin {

std::string ProgramIconFile(int size)
{
    const std::string folder = std::to_string(size) + "x" + std::to_string(size);
    return "hicolor/" + folder + "/apps/" + kProgramIconName + ".png";
}

std::vector<std::string> ProgramIconFiles()
{
    std::vector<std::string> files;
    for (int size : kProgramIconSizes)
        files.push_back(ProgramIconFile(size));
    files.push_back(std::string("hicolor/scalable/apps/") + kProgramIconName + ".svg");
    return files;
}

bool InstallProgramIcons(const std::string& iconsFolder)
{
    bool all = true;
    for (const std::string& file : ProgramIconFiles()) {
        QFile resource(QString::fromStdString(kProgramIconResources + file));
        const std::string target = iconsFolder + file;
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(target).parent_path(), ec);
        try {
            if (!resource.open(QIODevice::ReadOnly))
                throw std::runtime_error("no icon resource");
            const QByteArray bytes = resource.readAll();
            SaveFileAtomically(target, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
        } catch (const std::exception&) {
            all = false;
        }
    }
    return all;
}

void RemoveProgramIcons(const std::string& iconsFolder)
{
    for (const std::string& file : ProgramIconFiles()) {
        std::error_code ec;
        std::filesystem::remove(iconsFolder + file, ec);
    }
}

} // namespace kolvarin
