#include "core/desktop/kwindowicon.h"

#include "core/system/kprogramicon.h"

namespace kolvarin {

QIcon ProgramIcon()
{
    QIcon icon;
    for (const std::string& file : ProgramIconFiles())
        if (file.ends_with(".png"))
            icon.addFile(QString::fromStdString(kProgramIconResources + file));
    return icon;
}

} // namespace kolvarin
