#pragma once

#include <string>
#include <vector>

#include "forms/playlistformdialog.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace kolvarin {

// The search tool window: the playlist entries whose captions hold every
// keyword, filtered by kind; choosing one plays it. Main thread only.
class TfrmSearch : public TKPlaylistDialog {
public:
    explicit TfrmSearch(QWidget* parent = nullptr);
    ~TfrmSearch() override;

    QLabel* Label1;
    QLineEdit* edtKeyword;
    QLabel* Label2;
    QListWidget* lbResults;
    QGroupBox* RadioGroup1;
    QRadioButton* rbAll;
    QRadioButton* rbAudio;
    QRadioButton* rbVideo;
    QPushButton* btnSelect;
    QPushButton* btnCancel;

    // Fills the results from the keyword and the filter.
    void UpdateResults();
    // Plays the first entry with the chosen caption.
    void SelectResult();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

extern TfrmSearch* frmSearch;

enum class TSearchFilter { All, Audio, Video };

// The captions of the playlist entries that hold every blank-separated
// keyword in any letter case (any script) and pass the filter, each caption
// once, in playlist order. No keywords match every entry.
std::vector<std::u16string> SearchPlaylist(const std::u16string& keywords, TSearchFilter filter);

} // namespace kolvarin
