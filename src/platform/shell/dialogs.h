#pragma once

#include <optional>
#include <string>
#include <vector>

#include "shell/serviceslot.h"

class QWidget;

namespace kolvarin::shell {

// What the list dialog with its "don't ask again" box returned.
struct ListChoice {
    bool accepted = false;
    std::u16string chosen; // the selected item; empty when cancelled
    bool dontAskAgain = false;
};

// The modal dialogs the shell offers. Each call blocks until the user closes
// the dialog; main thread only. Owner may be null.
class ShellDialogs {
public:
    virtual ~ShellDialogs() = default;
    // The chosen folder, or nothing when cancelled. Opens at startFolder.
    virtual std::optional<std::u16string> browseForFolder(QWidget* owner, const std::u16string& caption,
                                                          const std::u16string& startFolder) = 0;
    // A list of items to pick one from, with the "Dont ask again for this
    // extension" check box; the first item starts selected.
    virtual ListChoice chooseFromList(QWidget* owner, const std::u16string& caption, const std::u16string& label,
                                      const std::vector<std::u16string>& items) = 0;
};

// The dialogs in use: Qt's own unless a test installed others.
ServiceSlot<ShellDialogs>& Dialogs();

} // namespace kolvarin::shell
