#include "core/desktop/kwindowicon.h"

#include <QCoreApplication>
#include <QImage>
#include <QPixmap>
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
    // Each window hands every size to the window manager when it is made:
    // up to 64 pixels. Larger views take the themed icon that registration
    // installs; decoding and sending 128 and 256 with each window slowed the
    // start. Each is decoded as PNG outright: QIcon::addFile asks every
    // icon-engine and image-format plugin about the file first, which loads
    // them and the libraries they bring (SVG, JPEG).
    QIcon icon;
    for (int size : kProgramIconSizes)
        if (size <= 64)
            if (QImage image; image.load(QString::fromStdString(kProgramIconResources + ProgramIconFile(size)), "PNG"))
                icon.addPixmap(QPixmap::fromImage(std::move(image)));
    if (app)
        app->setProperty(kCache, icon);
    return icon;
}

} // namespace kolvarin
