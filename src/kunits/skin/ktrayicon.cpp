#include "skin/ktrayicon.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QStyleHints>
#include <QSystemTrayIcon>

namespace kolvarin {

namespace {

TShiftState CurrentShift() { return ShiftStateOf(Qt::NoButton, QGuiApplication::queryKeyboardModifiers()); }

} // namespace

TKTrayIcon::TKTrayIcon()
{
    clickDelay_.AutoDisable = true;
    clickDelay_.SetOnTimer([this](TSimpleTimer&) {
        if (OnClick)
            OnClick();
    });
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        tray_ = std::make_unique<QSystemTrayIcon>();
        QObject::connect(tray_.get(), &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger)
                Clicked(TMouseButton::mbLeft);
            else if (reason == QSystemTrayIcon::DoubleClick)
                DoubleClicked();
            else if (reason == QSystemTrayIcon::Context)
                Clicked(TMouseButton::mbRight);
            else if (reason == QSystemTrayIcon::MiddleClick)
                Clicked(TMouseButton::mbMiddle);
        });
        QObject::connect(tray_.get(), &QSystemTrayIcon::messageClicked, [this] {
            if (OnBalloonClick)
                OnBalloonClick();
        });
    }
}

TKTrayIcon::~TKTrayIcon() = default;

bool TKTrayIcon::Shown() const { return tray_ && tray_->isVisible(); }

void TKTrayIcon::SetIcon(const QIcon& icon)
{
    icon_ = icon;
    Update();
}

void TKTrayIcon::SetIconVisible(bool visible)
{
    visible_ = visible;
    Update();
}

void TKTrayIcon::SetHint(const std::u16string& hint)
{
    hint_ = hint;
    Update();
}

void TKTrayIcon::SetShowHint(bool show)
{
    showHint_ = show;
    Update();
}

std::u16string TKTrayIcon::Tip() const { return showHint_ ? hint_.substr(0, 127) : std::u16string(); }

void TKTrayIcon::Update()
{
    if (!tray_)
        return;
    tray_->setIcon(icon_);
    tray_->setToolTip(QString::fromStdU16String(Tip()));
    tray_->setVisible(visible_);
}

void TKTrayIcon::ShowBalloonHint(const std::u16string& title, const std::u16string& text, int iconType, int timeoutSecs)
{
    TBalloon balloon{title.substr(0, 63), text.substr(0, 255), iconType, std::max(timeoutSecs, 0) * 1000};
    balloons_.push_back(balloon);
    if (!tray_ || !tray_->isVisible() || !QSystemTrayIcon::supportsMessages())
        return;
    static constexpr QSystemTrayIcon::MessageIcon kIcons[] = {QSystemTrayIcon::NoIcon, QSystemTrayIcon::Information,
                                                              QSystemTrayIcon::Warning, QSystemTrayIcon::Critical};
    const auto icon = iconType >= 0 && iconType <= 3 ? kIcons[iconType] : QSystemTrayIcon::NoIcon;
    tray_->showMessage(QString::fromStdU16String(balloon.Title), QString::fromStdU16String(balloon.Text), icon,
                       balloon.TimeoutMs);
}

void TKTrayIcon::Clicked(TMouseButton button)
{
    const QPoint at = QCursor::pos();
    if (OnMouseDown)
        OnMouseDown(button, CurrentShift(), at.x(), at.y());
    if (button == TMouseButton::mbRight && PopupMenu && AutoPopup)
        PopupMenu->popup(at);
    if (OnMouseUp)
        OnMouseUp(button, CurrentShift(), at.x(), at.y());
    if (button == TMouseButton::mbLeft) {
        clickDelay_.SetInterval(QGuiApplication::styleHints()->mouseDoubleClickInterval());
        clickDelay_.SetEnabled(true);
    }
}

void TKTrayIcon::DoubleClicked()
{
    clickDelay_.SetEnabled(false);
    if (OnDblClick)
        OnDblClick();
}

} // namespace kolvarin
