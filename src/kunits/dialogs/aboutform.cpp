#include "dialogs/aboutform.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

#include "core/desktop/kshellutils.h"
#include "core/system/kfiles.h"
#include "core/system/kpaths.h"
#include "core/text/kstrings.h"
#include "dialogs/captionstrip.h"
#include "gdi/qtimage.h"
#include "playback/ksystem.h"

namespace kolvarin {

TfrmAbout* frmAbout = nullptr;

namespace {

constexpr int FormWidth = 398;
constexpr int FormHeight = 376;
constexpr const char* RevisionKeyword = "[$Rev: 411 $]";

QString qtext(const std::string& ansi) { return QString::fromStdU16String(AnsiToUtf16(ansi)); }

// The credits box: shows the scroller's bitmap as it is, never erasing.
class TScrollerBox : public QWidget {
public:
    TScrollerBox(const gdi::Bitmap& bitmap, QWidget* parent) : QWidget(parent), bitmap_(bitmap)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawImage(0, 0, gdi::ViewAsQImage(bitmap_));
    }

private:
    const gdi::Bitmap& bitmap_;
};

// A label that opens an address when clicked.
class TLinkLabel : public QLabel {
public:
    TLinkLabel(const QString& text, std::string address, QWidget* parent)
        : QLabel(text, parent), address_(std::move(address))
    {
        setCursor(Qt::PointingHandCursor);
        QFont underlined = font();
        underlined.setUnderline(true);
        setFont(underlined);
        setStyleSheet(QStringLiteral("color: #4CC2FF"));
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            OpenURL(AnsiToUtf16(address_));
    }

private:
    std::string address_;
};

QLabel* label(QWidget* parent, const QString& text, QRect geometry, bool bold = false, bool italic = false)
{
    auto* l = new QLabel(text, parent);
    QFont f = l->font();
    f.setBold(bold);
    f.setItalic(italic);
    l->setFont(f);
    l->setGeometry(geometry);
    return l;
}

} // namespace

std::string RevisionText(const std::string& keyword)
{
    const std::size_t start = keyword.find("[$Rev: ");
    const std::size_t end = keyword.find(" $]");
    if (start == std::string::npos || end == std::string::npos || end < start + 7)
        return {};
    std::string revision = keyword.substr(start + 7, end - start - 7);
    revision.erase(0, revision.find_first_not_of(' '));
    revision.erase(revision.find_last_not_of(' ') + 1);
    return " - Revision " + revision;
}

TfrmAbout::TfrmAbout(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      lblVersion_(nullptr),
      lblPath_(nullptr),
      lblCopyright_(nullptr),
      btnOK_(new QPushButton(QStringLiteral("OK"), this)),
      kpbScroller_(nullptr)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(FormWidth, FormHeight);
    ApplyDialogPalette(this);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPixelSize(11);
    setFont(tahoma);

    auto* strip = new TCaptionStrip(this);
    strip->setGeometry(0, 0, FormWidth, 20);

    const std::string version = GetFileVersion("");
    const std::string copyright = GetFileCopyright("");
    auto* title = label(this, QStringLiteral("Kolvarin Media Player"), QRect(16, 30, 366, 22), true);
    QFont big = title->font();
    big.setPixelSize(16);
    title->setFont(big);
    label(this, QStringLiteral("Designed to play all stuff of mediafiles"), QRect(16, 52, 366, 16), false, true);
    lblVersion_ = label(this, qtext("Version: " + version + " Bugfix Release" + RevisionText(RevisionKeyword)),
                        QRect(16, 76, 366, 16));
    lblPath_ = label(this, qtext("Path: " + ApplicationPath), QRect(16, 94, 366, 16));
    lblPath_->setToolTip(lblPath_->text());
    lblCopyright_ = label(this, qtext(copyright), QRect(16, 112, 366, 16));
    (new TLinkLabel(QStringLiteral("www.kolvarin.org"), HomePage, this))->setGeometry(16, 134, 110, 16);
    (new TLinkLabel(QStringLiteral("info@kolvarin.org"), MailAddress, this))->setGeometry(140, 134, 120, 16);
    (new TLinkLabel(QStringLiteral("Forum"), ForumPage, this))->setGeometry(274, 134, 100, 16);
    auto* techs = label(this, QStringLiteral("Built with Qt, FFmpeg, SDL, libcurl, libcdio, zlib and unicorn"),
                        QRect(16, 154, 366, 16));
    QPalette secondary = techs->palette();
    secondary.setColor(QPalette::WindowText, QColor::fromRgb(QRgb(dialogcolors::Secondary)));
    techs->setPalette(secondary);

    auto* panCredits = new QWidget(this);
    panCredits->setGeometry(16, 176, 366, 152);
    panCredits->setAutoFillBackground(true);
    QPalette frame = panCredits->palette();
    frame.setColor(QPalette::Window, QColor::fromRgb(QRgb(dialogcolors::Edge)));
    panCredits->setPalette(frame);
    bitmap_ = gdi::Bitmap(364, 150);
    kpbScroller_ = new TScrollerBox(bitmap_, panCredits);
    kpbScroller_->setGeometry(1, 1, bitmap_.width(), bitmap_.height());

    scroller_ = std::make_unique<TTextScroller>(bitmap_, 0);
    scroller_->Font = gdi::Font{.name = u"Tahoma", .size = 10};
    scroller_->Fade = true;
    addCredits(version, copyright);

    btnOK_->setGeometry(FormWidth - 16 - 90, 338, 90, 28);
    QObject::connect(btnOK_, &QPushButton::clicked, this, [this] { close(); });
    scrollTimer_.setInterval(50);
    QObject::connect(&scrollTimer_, &QTimer::timeout, this, [this] { ScrollTimerTimer(); });
}

TfrmAbout::~TfrmAbout()
{
    if (frmAbout == this)
        frmAbout = nullptr;
}

void TfrmAbout::addCredits(const std::string& version, const std::string& copyright)
{
    const char* const lines[] = {
        "",
        "",
        "",
        "<b>Credits",
        "",
        "<b>Development",
        "The Kolvarin team",
        "",
        "<b>Design",
        "The Kolvarin team",
        "Built-in skin: graphite and sky",
        "",
        "<b>Idea",
        "A player for every kind of media",
        "",
        "<b>Skins",
        "base[default]",
        "",
        "<b>Testers",
        "Everyone who sent a report",
        "",
        "<b>Technology used",
        "Qt 6 - qt.io",
        "FFmpeg - ffmpeg.org",
        "SDL 2 - libsdl.org",
        "libcurl - curl.se",
        "libcdio - gnu.org/software/libcdio",
        "zlib - zlib.net",
        "unicorn - unicorn-engine.org",
        "DejaVu fonts - dejavu-fonts.github.io",
        "",
        "<b>Thanks",
        "To all who use and translate Kolvarin",
        "",
        "<b>Build statistics",
        "C++20, Qt 6, CMake and Ninja",
        "",
        "",
        "Thanks for using Kolvarin!",
        "",
        "",
        "Thanks for using Kolvarin!",
        "",
        "",
    };
    std::vector<std::u16string>& credits = scroller_->Lines;
    credits.push_back(AnsiToUtf16("<u>Kolvarin Media Player " + version + " Bugfix Release"));
    for (const char* line : lines)
        credits.push_back(AnsiToUtf16(line));
    credits.push_back(AnsiToUtf16(copyright));
    credits.push_back(u"All rights reserved.");
}

void TfrmAbout::ScrollTimerTimer()
{
    scroller_->TextScrollerPaint(bitmap_);
    kpbScroller_->update();
}

void TfrmAbout::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    scroller_->Reset(bitmap_);
    scrollTimer_.start();
}

void TfrmAbout::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    scrollTimer_.stop();
    if (PlaySystem)
        PlaySystem->SwapMemory();
}

void ShowAboutWindow(const QWidget* mainForm)
{
    if (!frmAbout)
        return;
    const QScreen* screen = mainForm && mainForm->screen() ? mainForm->screen() : QGuiApplication::primaryScreen();
    const QRect desktop = screen ? screen->availableGeometry() : QRect();
    const QRect around = mainForm ? mainForm->frameGeometry() : desktop;
    QPoint place = around.center() - frmAbout->rect().center();
    if (!desktop.isEmpty()) {
        // A main window near an edge must not push the about window off the screen.
        place.setX(
            std::clamp(place.x(), desktop.left(), std::max(desktop.left(), desktop.right() - frmAbout->width())));
        place.setY(
            std::clamp(place.y(), desktop.top(), std::max(desktop.top(), desktop.bottom() - frmAbout->height())));
    }
    frmAbout->move(place);
    frmAbout->show();
    frmAbout->raise();
    frmAbout->activateWindow();
}

} // namespace kolvarin
