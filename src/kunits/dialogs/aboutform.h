#pragma once

#include <memory>
#include <string>

#include <QTimer>
#include <QWidget>

#include "dialogs/textscroller.h"
#include "gdi/bitmap.h"

class QLabel;
class QPushButton;

namespace kolvarin {

// The about window: title, version, program folder, legal notice, links and
// the credits scrolling upwards in a black box with fading edges (one pixel
// every 50 ms while the window shows). Main thread only.
class TfrmAbout : public QWidget {
public:
    explicit TfrmAbout(QWidget* parent = nullptr);
    ~TfrmAbout() override;

    QLabel* lblVersion() const { return lblVersion_; }
    QLabel* lblPath() const { return lblPath_; }
    QLabel* lblCopyright() const { return lblCopyright_; }
    QPushButton* btnOK() const { return btnOK_; }
    QWidget* kpbScroller() const { return kpbScroller_; }
    QTimer& ScrollTimer() { return scrollTimer_; }
    TTextScroller& Scroller() { return *scroller_; }
    const gdi::Bitmap& ScrollerBitmap() const { return bitmap_; }

    // One timer tick: a scroller step, then the bitmap onto the paint box.
    void ScrollTimerTimer();

    // The web and mail addresses the link labels open.
    static constexpr const char* HomePage = "https://www.kolvarin.org/";
    static constexpr const char* MailAddress = "mailto:info@kolvarin.org?subject=Kolvarin%20Media%20Player";
    static constexpr const char* ForumPage = "https://forum.kolvarin.org/";

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void addCredits(const std::string& version, const std::string& copyright);

    QLabel* lblVersion_;
    QLabel* lblPath_;
    QLabel* lblCopyright_;
    QPushButton* btnOK_;
    QWidget* kpbScroller_;
    QTimer scrollTimer_;
    gdi::Bitmap bitmap_;
    std::unique_ptr<TTextScroller> scroller_;
};

// " - Revision " and the trimmed text between "[$Rev: " and " $]" of a
// revision keyword, or empty when either mark is missing.
std::string RevisionText(const std::string& keyword);

// The about window of the program, while it exists (set by the start-up
// sequence when it creates the windows).
extern TfrmAbout* frmAbout;

// Shows the about window centred on the main window (on the screen when
// there is none), kept inside the screen, and brings it to the front;
// nothing without frmAbout. The main window's menu calls it.
void ShowAboutWindow(const QWidget* mainForm);

} // namespace kolvarin
