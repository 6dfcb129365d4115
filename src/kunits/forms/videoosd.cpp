#include "forms/videoosd.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include "forms/videogeometry.h"

namespace kolvarin {

TKVideoOSD::TKVideoOSD(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("OSD"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // The renderer's window may be native (OpenGL): only a native sibling,
    // made so from the start, is raised above it. The headless platform of
    // the tests cannot move native children between parents.
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        setAttribute(Qt::WA_NativeWindow);
    hide();
}

void TKVideoOSD::ShowText(const std::u16string& text, const QFont& font, const QColor& colour, const QColor& background,
                          const QRect& area, uint8_t position)
{
    if (text.empty()) {
        text_.clear();
        hide();
        return;
    }
    const bool changed = text != text_ || font != this->font() || colour != colour_;
    text_ = text;
    setFont(font);
    colour_ = colour;
    background_ = background;
    const QFontMetrics metrics(font);
    const QSize size(metrics.horizontalAdvance(QString::fromStdU16String(text)), metrics.height());
    setGeometry(QRect(area.topLeft() + OSDTextPoint(position, area.size(), size), size));
    raise();
    show();
    if (changed)
        update();
}

void TKVideoOSD::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), background_);
    p.setPen(colour_);
    p.setFont(font());
    p.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdU16String(text_));
}

} // namespace kolvarin
