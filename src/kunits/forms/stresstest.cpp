#include "forms/stresstest.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QRandomGenerator>
#include <QScreen>
#include <QWidget>

#include "core/system/kglobals.h"
#include "forms/useractions.h"
#include "playback/ksystem.h"
#include "skin/kgui.h"

namespace kolvarin {

namespace {

constexpr int kJumps = 10;
constexpr int kProgressX = 10;
constexpr int kJumpX = 500;

} // namespace

// The strip the texts are written in: black Verdana on white, on the line
// one letter height above the bottom of the work area, over every window and
// never taking the focus.
class TKStressTest::Strip : public QWidget {
public:
    Strip()
        : QWidget(nullptr,
                  Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    {
        setAttribute(Qt::WA_ShowWithoutActivating);
        QFont font(QStringLiteral("Verdana"));
        font.setPointSize(16);
        setFont(font);
    }

    void Show(const QString& progress, const QString& jump)
    {
        progress_ = progress;
        jump_ = jump;
        const QFontMetrics metrics(font());
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
        const int width = kJumpX - kProgressX + metrics.horizontalAdvance(jump_.isEmpty() ? progress_ : jump_);
        setGeometry(area.left() + kProgressX, area.bottom() + 1 - metrics.height(), width, metrics.height());
        show();
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setPen(Qt::black);
        const int baseline = QFontMetrics(font()).ascent();
        painter.drawText(0, baseline, progress_);
        painter.drawText(kJumpX - kProgressX, baseline, jump_);
    }

private:
    QString progress_;
    QString jump_;
};

TKStressTest::TKStressTest() : strip_(std::make_unique<Strip>())
{
    roundTimer_.setSingleShot(true);
    jumpTimer_.setSingleShot(true);
    connect(&roundTimer_, &QTimer::timeout, this, [this] { Round(); });
    connect(&jumpTimer_, &QTimer::timeout, this, [this] { Jump(); });
}

TKStressTest::~TKStressTest() = default;

bool TKStressTest::Running() const { return roundTimer_.isActive() || jumpTimer_.isActive(); }

bool TKStressTest::StripShown() const { return strip_->isVisible(); }

void TKStressTest::Start(int maximum)
{
    Stop();
    if (PlaySystem && SysActive)
        PlaySystem->Stop(true);
    counter_ = 0;
    maximum_ = maximum;
    progressText_.clear();
    jumpText_.clear();
    roundTimer_.start(RoundPause);
}

void TKStressTest::Stop()
{
    roundTimer_.stop();
    jumpTimer_.stop();
    strip_->hide();
}

void TKStressTest::Round()
{
    ++counter_;
    if (counter_ > maximum_) {
        Stop();
        if (PlaySystem)
            PlaySystem->Stop(true);
        return;
    }
    progressText_ = QStringLiteral("Stresstest running, processed %1/%2").arg(counter_).arg(maximum_);
    jumpText_.clear();
    ShowTexts();
    if (PlaySystem)
        PlaySystem->PlayNext(true);
    jump_ = 0;
    NextJump();
}

void TKStressTest::NextJump()
{
    if (jump_ == kJumps) {
        roundTimer_.start(RoundPause);
        return;
    }
    ++jump_;
    jumpText_ = QStringLiteral("Jump %1 / %2 processed").arg(jump_).arg(kJumps);
    ShowTexts();
    jumpTimer_.start(JumpPause);
}

void TKStressTest::Jump()
{
    // The control the skin shows: the seek bar, else the bar.
    const TKSMain& m = GUI.Main;
    const int64_t max = m.ProgressSeekBar.Visible ? m.ProgressSeekBar.Max : m.ProgressBar.Max;
    if (PlaySystem && max > 0) {
        const int64_t position = QRandomGenerator::global()->bounded(qint64{max});
        PlaySystem->SetPosition(TKBar{max, position});
        ShowTimeJump(position);
    }
    NextJump();
}

void TKStressTest::ShowTexts() { strip_->Show(progressText_, jumpText_); }

} // namespace kolvarin
