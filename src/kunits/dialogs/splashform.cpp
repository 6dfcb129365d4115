#include "dialogs/splashform.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <stdexcept>

#include "core/text/kstrings.h"
#include "gdi/bmpcodec.h"
#include "gdi/canvas.h"
#include "gdi/qtimage.h"

namespace kolvarin {

namespace {

constexpr int SplashWidth = 400;
constexpr int SplashHeight = 300;

// The picture shown until a splash image is loaded.
gdi::Bitmap builtInPicture()
{
    gdi::Bitmap picture(SplashWidth, SplashHeight);
    gdi::Canvas canvas(picture);
    canvas.brush.color = gdi::RGB(24, 24, 32);
    canvas.fillRect({0, 0, SplashWidth, SplashHeight});
    return picture;
}

} // namespace

TfrmSplash::TfrmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      picture_(builtInPicture()),
      lblStatus_(new QLabel(QStringLiteral("Loading"), this))
{
    setWindowTitle(QStringLiteral("Kolvarin_Splash"));
    setFixedSize(SplashWidth, SplashHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    lblStatus_->setGeometry(10, 276, 383, 16);
    lblStatus_->setFont(gdi::ToQFont(gdi::Font{.name = u"Tahoma", .size = 8, .bold = true}));
    QPalette palette = lblStatus_->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    lblStatus_->setPalette(palette);
    lblStatus_->setAutoFillBackground(false); // the picture shows through
}

void TfrmSplash::SetStatusText(const std::string& text)
{
    lblStatus_->setText(QString::fromStdU16String(AnsiToUtf16(text)));
    lblStatus_->repaint();
}

void TfrmSplash::LoadSplashImage(const std::string& fileName)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(fileName, ec))
        return;
    std::unique_ptr<gdi::Bitmap> bitmap = LoadBitmapFile(fileName);
    if (!bitmap || bitmap->width() != SplashWidth || bitmap->height() != SplashHeight)
        return;
    picture_ = std::move(*bitmap);
    update();
}

void TfrmSplash::closeEvent(QCloseEvent* event)
{
    if (canClose_)
        event->accept();
    else
        event->ignore();
}

void TfrmSplash::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, gdi::ViewAsQImage(picture_));
}

std::unique_ptr<gdi::Bitmap> LoadBitmapFile(const std::string& fileName)
{
    std::string extension = std::filesystem::path(fileName).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (extension != ".bmp")
        return nullptr;
    auto bitmap = std::make_unique<gdi::Bitmap>();
    if (gdi::BmpResult r = gdi::LoadBmpFile(fileName, *bitmap); !r)
        throw std::runtime_error(r.message);
    if (bitmap->empty())
        return nullptr;
    return bitmap;
}

} // namespace kolvarin
