#pragma once

#include <string>
#include <vector>

#include <QDialog>

class QCheckBox;
class QLabel;
class QListWidget;

namespace kolvarin::shell {

// A modal choice among a few texts with a "Dont ask again for this
// extension" check box. The first item starts selected; a double click
// accepts. Owned by its Qt parent, or by the caller when it has none.
class DontAskAgainDialog : public QDialog {
public:
    DontAskAgainDialog(QWidget* owner, const std::u16string& caption, const std::u16string& label,
                       const std::vector<std::u16string>& items);

    // The selected item's text; empty when none is selected.
    std::u16string chosen() const;
    bool dontAskAgain() const;

    QListWidget* list() const { return list_; }
    QCheckBox* checkBox() const { return checkBox_; }
    QLabel* label() const { return label_; }

private:
    QLabel* label_;
    QListWidget* list_;
    QCheckBox* checkBox_;
};

} // namespace kolvarin::shell
