#include "shell/dontaskagaindialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace kolvarin::shell {

DontAskAgainDialog::DontAskAgainDialog(QWidget* owner, const std::u16string& caption, const std::u16string& label,
                                       const std::vector<std::u16string>& items)
    : QDialog(owner),
      label_(new QLabel(QString::fromStdU16String(label), this)),
      list_(new QListWidget(this)),
      checkBox_(new QCheckBox(QStringLiteral("Dont ask again for this extension"), this))
{
    setWindowTitle(QString::fromStdU16String(caption));
    for (const std::u16string& item : items)
        list_->addItem(QString::fromStdU16String(item));
    if (list_->count() > 0)
        list_->setCurrentRow(0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(list_);
    layout->addWidget(checkBox_);
    layout->addWidget(buttons);
}

std::u16string DontAskAgainDialog::chosen() const
{
    const QListWidgetItem* item = list_->currentItem();
    return item ? item->text().toStdU16String() : std::u16string();
}

bool DontAskAgainDialog::dontAskAgain() const { return checkBox_->isChecked(); }

} // namespace kolvarin::shell
