#pragma once

#include <array>
#include <functional>
#include <string>
#include <utility>

#include "forms/playlistformdialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace kolvarin {

// The tool window that edits one playlist entry: its caption and flags,
// the media information of its file and, for ".mp3" files, the ID3v1 and
// ID3v2 tags. Main thread only.
class TfrmEditItem : public TKPlaylistDialog {
public:
    explicit TfrmEditItem(QWidget* parent = nullptr);
    ~TfrmEditItem() override;

    QLineEdit* edtFileName;
    QLineEdit* edtIndex;
    QTabWidget* PageControl1;
    QWidget* tabPlaylistEntry;
    QLineEdit* edtPECaption;
    QLineEdit* edtPETime;
    QLineEdit* edtPETrack;
    QCheckBox* cbPESelected;
    QCheckBox* cbPEPlayed;
    QPlainTextEdit* memFileInfo;

    QWidget* tsID3v1;
    QCheckBox* cbID3V1_Exists;
    QLineEdit* edtID3V1_Track;
    QLineEdit* edtID3V1_Title;
    QLineEdit* edtID3V1_Artist;
    QLineEdit* edtID3V1_Album;
    QLineEdit* edtID3V1_Year;
    QComboBox* cbID3V1_Genre;
    QLineEdit* edtID3V1_Comment;
    QPushButton* btnID3Tagv1_Convert;

    QWidget* tsID3v2;
    QCheckBox* cbID3V2_Exists;
    QLineEdit* edtID3V2_Track;
    QLineEdit* edtID3V2_Title;
    QLineEdit* edtID3V2_Artist;
    QLineEdit* edtID3V2_Album;
    QLineEdit* edtID3V2_Year;
    QLineEdit* edtID3V2_Genre;
    QLineEdit* edtID3V2_Comment;
    QLineEdit* edtID3V2_Composer;
    QLineEdit* edtID3V2_Language;
    QLineEdit* edtID3V2_Copyright;
    QLineEdit* edtID3V2_URL;
    QLineEdit* edtID3V2_Encoder;
    QPushButton* btnID3Tagv2_Convert;

    QPushButton* btnEdit;
    QPushButton* btnCancel;
    QPushButton* btnReload;

    // The playlist index being edited; -1 before the first load.
    int EditIndex() const { return editIndex_; }
    // Fills the window from entry `index` (and its file) and shows it;
    // false, with the window unchanged, when there is no such entry.
    bool LoadEntry(int index);
    // Writes the tags (".mp3") and stores the fields in the entry; false
    // when a field is refused (message shown, nothing stored).
    bool SaveClick();
    void ConvertID3v1ToID3v2();
    void ConvertID3v2ToID3v1();

    // Shows a message to the user; tests replace it.
    std::function<void(const std::u16string&)> ShowMessage;

private:
    // The edits both tags have, ID3v1 first.
    std::array<std::pair<QLineEdit*, QLineEdit*>, 6> SharedTagFields() const;
    void ClearTagFields();
    void ReadTags(const std::u16string& fileName);
    // False with a message when a track text does not fit its tag.
    bool CheckTrackFields();
    void WriteTags(const std::u16string& fileName);

    int editIndex_ = -1;
};

extern TfrmEditItem* frmEditItem;

// The media information of a file, one "\r\n"-ended line per stream after
// the length line; fixed messages when the file cannot be read.
std::u16string MediaInformationText(const std::u16string& fileName);

// A tag's track text as a number: its value when it is all digits and at
// most `max`, 0 for a text that is not all digits (or empty), -1 for a
// number above `max`.
int TrackFieldValue(const std::u16string& text, int max);

} // namespace kolvarin
