#include "kerrordialog.h"

#include <QApplication>
#include <QMessageBox>

namespace kolvarin {

void TKMessageBoxDialog::Show(const std::u16string& title, const std::u16string& text, Icon icon)
{
    QWidget* owner = QApplication::activeWindow();
    if (owner && owner->isMinimized())
        owner->showNormal();
    QMessageBox box(icon == Icon::Error ? QMessageBox::Critical : QMessageBox::Warning,
                    QString::fromStdU16String(title), QString::fromStdU16String(text), QMessageBox::Ok, owner);
    box.exec();
}

} // namespace kolvarin
