#pragma once

#include <string>
#include <vector>

#include "forms/playlistformdialog.h"

class QComboBox;
class QPushButton;

namespace kolvarin {

// A CD or DVD drive as the disc dialog lists it.
struct TDiscDrive {
    std::u16string Device; // "/dev/sr0": music CD tracks are named below it
    std::u16string Folder; // where its medium is mounted; empty when it is not
    std::u16string Label; // empty when unknown
};

// One playlist entry the disc dialog adds.
struct TDiscEntry {
    std::u16string Caption;
    std::u16string FileName;
    std::string Time;
    std::string Track;
};

// The tool window that adds the DVD, VCD or SVCD in a drive, or the tracks
// of a music CD. The list keeps each drive's device, folder and label
// beside its text, so the text is never cut apart again. Main thread only.
class TfrmAddDVDVCD : public TKPlaylistDialog {
public:
    explicit TfrmAddDVDVCD(QWidget* parent = nullptr);
    ~TfrmAddDVDVCD() override;

    QComboBox* cbDrives;
    QPushButton* btnOK;
    QPushButton* btnCancel;

    // Lists the drives; the last one with a label is chosen, else the first.
    void SetDrives(std::vector<TDiscDrive> drives);
    // Adds the chosen drive's entries, starts playing when nothing plays
    // and closes (a music CD without readable tracks adds nothing and
    // keeps the window open).
    void OKClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::vector<TDiscDrive> drives_;
};

extern TfrmAddDVDVCD* frmAddDVDVCD;

// The drive's list text: "<device> [ <label> ]", "No medium found." for no label.
std::u16string DiscItemText(const TDiscDrive& drive);
// The CD/DVD drives of the machine with their mount folders and labels.
std::vector<TDiscDrive> ListDiscDrives();
// What the drive holds: one DVD, VCD or SVCD entry by the folders on the
// medium, else one entry per audio track of the music CD (driveIndex is
// the audio library's drive number).
std::vector<TDiscEntry> DiscEntries(const TDiscDrive& drive, int driveIndex);

} // namespace kolvarin
