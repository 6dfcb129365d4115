// Renders the program's icon sources into the files of the hicolor icon
// theme: icongen OUT-DIR SIZE=SOURCE.svg ... SCALABLE.svg
// writes OUT-DIR/hicolor/<size>x<size>/apps/kolvarin.png for each pair and
// copies the last source to OUT-DIR/hicolor/scalable/apps/kolvarin.svg.
#include <cstdio>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

namespace {

bool Render(const QString& source, int size, const QString& target)
{
    QSvgRenderer renderer(source);
    if (!renderer.isValid())
        return false;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, size, size));
    painter.end();
    QDir().mkpath(QFileInfo(target).path());
    return image.convertToFormat(QImage::Format_ARGB32).save(target, "PNG");
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: icongen OUT-DIR SIZE=SOURCE.svg ... SCALABLE.svg\n");
        return 2;
    }
    const QString out = args[1] + "/hicolor/";
    for (int i = 2; i + 1 < args.size(); ++i) {
        const int cut = args[i].indexOf('=');
        const int size = args[i].left(cut).toInt();
        const QString target = out + QString("%1x%1/apps/kolvarin.png").arg(size);
        if (cut < 0 || size <= 0 || !Render(args[i].mid(cut + 1), size, target)) {
            std::fprintf(stderr, "icongen: cannot render %s\n", qPrintable(args[i]));
            return 1;
        }
    }
    const QString scalable = out + "scalable/apps/kolvarin.svg";
    QDir().mkpath(QFileInfo(scalable).path());
    QFile::remove(scalable);
    if (!QFile::copy(args.last(), scalable)) {
        std::fprintf(stderr, "icongen: cannot copy %s\n", qPrintable(args.last()));
        return 1;
    }
    return 0;
}
