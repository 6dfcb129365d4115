#pragma once

#include <string>

#include "forms/playlistformdialog.h"

class QLineEdit;
class QPushButton;

namespace kolvarin {

// The tool window that appends an internet address to the playlist. Shown
// non-modally. Main thread only.
class TfrmAddURL : public TKPlaylistDialog {
public:
    explicit TfrmAddURL(QWidget* parent = nullptr);
    ~TfrmAddURL() override;

    QLineEdit* Edit1;
    QPushButton* Button1;
    QPushButton* Button2;

    // Appends the address and closes, or shows error 3000 and stays.
    void AddClick();

protected:
    void showEvent(QShowEvent* event) override;
};

extern TfrmAddURL* frmAddURL;

} // namespace kolvarin
