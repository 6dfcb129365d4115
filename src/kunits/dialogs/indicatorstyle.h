#pragma once

#include <QProxyStyle>

namespace kolvarin {

// Check boxes and radio buttons of the dialogs on the skin's palette: a
// rounded box or ring on the panel colour, filled with the accent colour
// and a white mark when on. Everything else is the base style's.
class TIndicatorStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;
};

} // namespace kolvarin
