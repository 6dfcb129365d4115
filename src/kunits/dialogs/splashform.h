#pragma once

#include <memory>
#include <string>

#include <QWidget>

#include "gdi/bitmap.h"

class QLabel;

namespace kolvarin {

// The splash window shown during start-up: a 400 x 300 picture with a status
// text at its foot. It refuses to close (system menu, Alt+F4, close()) until
// SetCanClose(true), which the start-up sequence calls just before it
// destroys the window. Main thread only; start-up runs before the event
// loop, so every change is painted at once.
class TfrmSplash : public QWidget {
public:
    explicit TfrmSplash(QWidget* parent = nullptr);

    // Sets the status label's caption (an 8-bit text) and repaints the label
    // at once when the window is shown.
    void SetStatusText(const std::string& text);

    // Shows the bitmap file when it exists, has the extension ".bmp" (any
    // letter case) and is exactly 400 x 300 pixels; otherwise the picture
    // stays as it is. A ".bmp" file that is not a readable bitmap throws
    // std::runtime_error with the reader's message, the picture unchanged.
    void LoadSplashImage(const std::string& fileName);

    bool CanClose() const { return canClose_; }
    void SetCanClose(bool canClose) { canClose_ = canClose; }

    const gdi::Bitmap& picture() const { return picture_; }
    QLabel* lblStatus() const { return lblStatus_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    gdi::Bitmap picture_;
    QLabel* lblStatus_;
    bool canClose_ = false;
};

// A bitmap loaded from a ".bmp" file (extension in any letter case); null for
// another extension or an empty bitmap. A file that cannot be read as a
// bitmap throws std::runtime_error.
std::unique_ptr<gdi::Bitmap> LoadBitmapFile(const std::string& fileName);

} // namespace kolvarin
