#include "core/desktop/kwindowicon.h"

#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
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
    // start. Each is decoded as PNG outright: asked about a file, the image
    // reader first loads every image-format plugin (and the SVG and JPEG
    // libraries they bring) to ask whether it reads it.
    QIcon icon;
    for (int size : kProgramIconSizes) {
        if (size > 64)
            continue;
        QImageReader reader(QString::fromStdString(kProgramIconResources + ProgramIconFile(size)), "png");
        reader.setAutoDetectImageFormat(false);
        if (const QImage image = reader.read(); !image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
    if (app)
        app->setProperty(kCache, icon);
    return icon;
}

} // namespace kolvarin
