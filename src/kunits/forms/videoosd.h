#pragma once

// The on-screen text over the video: a box in the display's background
// colour with the text in the OSD font, placed by the OSD position. It lives
// beside the renderer's window in the display's parent and is raised above
// it. Main thread only.

#include <string>

#include <QColor>
#include <QFont>
#include <QWidget>

namespace kolvarin {

class TKVideoOSD : public QWidget {
public:
    explicit TKVideoOSD(QWidget* parent);

    // Shows text over area (in the parent's coordinates) at position 0..8
    // in the font; an empty text hides the box.
    void ShowText(const std::u16string& text, const QFont& font, const QColor& colour, const QColor& background,
                  const QRect& area, uint8_t position);
    const std::u16string& Text() const { return text_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::u16string text_;
    QColor colour_, background_;
};

} // namespace kolvarin
