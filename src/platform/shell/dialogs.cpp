#include "shell/dialogs.h"

#include <QFileDialog>

#include "shell/dontaskagaindialog.h"

namespace kolvarin::shell {

namespace {

class QtDialogs : public ShellDialogs {
public:
    std::optional<std::u16string> browseForFolder(QWidget* owner, const std::u16string& caption,
                                                  const std::u16string& startFolder) override
    {
        QFileDialog dialog(owner, QString::fromStdU16String(caption), QString::fromStdU16String(startFolder));
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().constFirst().toStdU16String();
    }

    ListChoice chooseFromList(QWidget* owner, const std::u16string& caption, const std::u16string& label,
                              const std::vector<std::u16string>& items) override
    {
        DontAskAgainDialog dialog(owner, caption, label, items);
        ListChoice choice;
        choice.accepted = dialog.exec() == QDialog::Accepted;
        if (choice.accepted)
            choice.chosen = dialog.chosen();
        choice.dontAskAgain = dialog.dontAskAgain();
        return choice;
    }
};

QtDialogs qtDialogs;

} // namespace

ServiceSlot<ShellDialogs>& Dialogs()
{
    static ServiceSlot<ShellDialogs> slot(qtDialogs);
    return slot;
}

} // namespace kolvarin::shell
