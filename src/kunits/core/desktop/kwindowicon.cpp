#include "core/desktop/kwindowicon.h"

#include <QCoreApplication>
#include <QVariant>

#include "core/system/kprogramicon.h"

namespace kolvarin {

QIcon ProgramIcon()
{
    // Decoding every size takes a while at start-up: the icon is made once
    // and kept by the application object, so it goes with it.
    constexpr const char* kCache = "kolvarinProgramIcon";
    QCoreApplication* app = QCoreApplication::instance();
    if (app)
        if (const QVariant cached = app->property(kCache); cached.isValid())
            return cached.value<QIcon>();
    QIcon icon;
    for (const std::string& file : ProgramIconFiles())
        if (file.ends_with(".png"))
            icon.addFile(QString::fromStdString(kProgramIconResources + file));
    if (app)
        app->setProperty(kCache, icon);
    return icon;
}

} // namespace kolvarin
