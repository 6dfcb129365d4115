#pragma once

#include <QFont>
#include <QPalette>
#include <QPoint>
#include <QSize>
#include <QWidget>

namespace kolvarin {

// The title strip of a borderless window: shows the window's title (and
// follows it when the language changes) and moves the window while the left
// button drags it (the window system's own move when it offers one). Main
// thread only.
class TCaptionStrip : public QWidget {
public:
    explicit TCaptionStrip(QWidget* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool dragging_ = false;
    QPoint grab_; // where the window was taken, from its top-left corner
};

// The dialogs' look on the dark skin: body, panel, edge, text and accent.
namespace dialogcolors {
inline constexpr unsigned Body = 0x1D2026;
inline constexpr unsigned Panel = 0x252932;
inline constexpr unsigned Edge = 0x343A46;
inline constexpr unsigned Text = 0xE4E7EC;
inline constexpr unsigned Secondary = 0x9AA3B2;
inline constexpr unsigned Accent = 0x4CC2FF;
inline constexpr unsigned AccentPressed = 0x2E9BD6;
inline constexpr unsigned Hover = 0x2C313B;
inline constexpr unsigned Disabled = 0x5A6272;
} // namespace dialogcolors

// The dark palette of the built-in skin for what the skin does not draw:
// the program's own dialogs, message boxes, file dialogs and menus. The
// program gives it to the whole application, so no window shows the
// toolkit's light default beside the skinned ones.
QPalette DialogPalette();

// Gives a dialog the dark palette of the skin (window, text, buttons).
void ApplyDialogPalette(QWidget* dialog);

// A dialog's size as designed for Tahoma 8, grown by as much as the font it
// shows here is taller (never shrunk).
QSize DesignedSize(QSize designed, const QFont& font);

} // namespace kolvarin
