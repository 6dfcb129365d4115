#include "kquit.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>

namespace kolvarin {

namespace {

bool g_quitRequested = false;

// Closes every dialog and menu that shows once a quit was requested. The
// close is queued: a dialog's own loop (when it still runs) takes it.
class TKCloseOnShow : public QObject {
public:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::Show && object->isWidgetType())
            CloseLater(static_cast<QWidget*>(object));
        return false;
    }
    static void CloseLater(QWidget* widget)
    {
        if (auto* dialog = qobject_cast<QDialog*>(widget))
            QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
        else if (qobject_cast<QMenu*>(widget))
            QMetaObject::invokeMethod(widget, &QWidget::close, Qt::QueuedConnection);
    }
};

} // namespace

void RequestQuit()
{
    if (g_quitRequested)
        return;
    g_quitRequested = true;
    auto* filter = new TKCloseOnShow;
    filter->setParent(qApp);
    qApp->installEventFilter(filter);
    while (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
        if (QApplication::activePopupWidget() == popup)
            break;
    }
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible())
            dialog->reject();
    // Ends the loops that are no dialog's; the main loop too once it runs.
    QCoreApplication::exit(0);
}

bool QuitRequested() { return g_quitRequested; }

} // namespace kolvarin
