#include "forms/adddiscform.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kdrives.h"
#include "core/system/kfiles.h"
#include "core/system/kglobals.h"
#include "core/text/klanguage.h"
#include "forms/playlistform.h"
#include "playback/kbass.h"
#include "playback/kstreamset.h"
#include "playback/ksystem.h"

namespace kolvarin {

TfrmAddDVDVCD* frmAddDVDVCD = nullptr;

namespace {

QString Text(int number) { return LanguageQText(TLanguageSection::AddCDtoPlaylist, number); }

std::u16string Utf16(const std::string& text) { return QString::fromStdString(text).toStdU16String(); }

// The three kinds of video disc, by the folder that marks them.
struct TVideoDisc {
    const char16_t* Marker; // a file (DVD) or a folder
    bool MarkerIsFile;
    const char16_t* FirstFile;
    int StatusText; // the caption's language text
};
constexpr TVideoDisc kVideoDiscs[] = {
    {u"VIDEO_TS/VIDEO_TS.IFO", true, u"VIDEO_TS/VIDEO_TS.IFO", 23},
    {u"MPEGAV", false, u"MPEGAV/AVSEQ01.DAT", 24},
    {u"MPEG2", false, u"MPEG2/AVSEQ01.MPG", 25},
};

} // namespace

std::u16string DiscItemText(const TDiscDrive& drive)
{
    const std::u16string label =
        drive.Label.empty() ? Language.Text(TLanguageSection::AddCDtoPlaylist, 5) : drive.Label;
    return drive.Device + u" [ " + label + u" ]";
}

std::vector<TDiscDrive> ListDiscDrives()
{
    std::ifstream file("/proc/mounts");
    const std::string mounts{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const std::vector<std::string> devices = GetCDDrives();
    std::vector<TDiscDrive> drives;
    for (const std::string& device : devices) {
        const std::string folder = FindCDMountPoint(device, devices, mounts);
        drives.push_back({Utf16(device), Utf16(folder), GetVolumeLabelW(Utf16(device))});
    }
    return drives;
}

std::vector<TDiscEntry> DiscEntries(const TDiscDrive& drive, int driveIndex)
{
    if (!drive.Folder.empty()) {
        const std::u16string root = drive.Folder.back() == u'/' ? drive.Folder : drive.Folder + u'/';
        for (const TVideoDisc& disc : kVideoDiscs) {
            const std::u16string marker = root + disc.Marker;
            if (disc.MarkerIsFile ? KFileExists(marker) : KDirectoryExists(marker))
                return {{Language.Format(TLanguageSection::Status, disc.StatusText, drive.Label), root + disc.FirstFile,
                         "00:00:00", "00"}};
        }
    }
    std::vector<TDiscEntry> entries;
    const int tracks = static_cast<int>(BASS_CD_GetTracks(static_cast<DWORD>(driveIndex)));
    const bool readTime = Config && Config->OFAReadTime;
    for (int t = 0; t < tracks; ++t) {
        const DWORD length = BASS_CD_GetTrackLength(static_cast<DWORD>(driveIndex), static_cast<DWORD>(t));
        if (length == static_cast<DWORD>(-1))
            continue;
        char number[16];
        std::snprintf(number, sizeof number, "%.2d", t + 1);
        // The track field counts from 1 like the caption and the file name:
        // the CD player takes "01" as the first track.
        entries.push_back({u"Track " + Utf16(number), drive.Device + u"/Track" + Utf16(number) + u".cda",
                           readTime ? TimeTextOfMilliseconds(length / kCDBytesPerSecond * 1000) : "00:00:00", number});
    }
    return entries;
}

TfrmAddDVDVCD::TfrmAddDVDVCD(QWidget* parent) : TKPlaylistDialog("frmAddDVDVCD", parent)
{
    frmAddDVDVCD = this;
    setWindowTitle(Text(1));
    cbDrives = Named(new QComboBox(this), "cbDrives");
    cbDrives->setMinimumWidth(260);
    btnOK = Named(new QPushButton(Text(3), this), "btnOK");
    btnCancel = Named(new QPushButton(Text(4), this), "btnCancel");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Named(new QLabel(Text(2), this), "lblDrives"));
    layout->addWidget(cbDrives);
    AddButtonRow(*layout, {btnOK, btnCancel}, btnCancel);
    connect(btnOK, &QPushButton::clicked, this, [this] { OKClick(); });
}

TfrmAddDVDVCD::~TfrmAddDVDVCD()
{
    if (frmAddDVDVCD == this)
        frmAddDVDVCD = nullptr;
}

void TfrmAddDVDVCD::SetDrives(std::vector<TDiscDrive> drives)
{
    drives_ = std::move(drives);
    cbDrives->clear();
    int chosen = drives_.empty() ? -1 : 0;
    for (size_t i = 0; i < drives_.size(); ++i) {
        cbDrives->addItem(QString::fromStdU16String(DiscItemText(drives_[i])));
        if (!drives_[i].Label.empty())
            chosen = static_cast<int>(i);
    }
    cbDrives->setCurrentIndex(chosen);
}

void TfrmAddDVDVCD::OKClick()
{
    const int index = cbDrives->currentIndex();
    if (index < 0 || index >= static_cast<int>(drives_.size()))
        return;
    const std::vector<TDiscEntry> entries = DiscEntries(drives_[static_cast<size_t>(index)], index);
    if (entries.empty())
        return;
    const int first = PlaylistCount();
    for (const TDiscEntry& e : entries)
        PlaylistAdd(e.Caption, e.FileName, e.Time, false, e.Track);
    if (frmPlaylist)
        frmPlaylist->RefreshPlaylist();
    if (!SysPlayed && !SysPaused && PlaySystem) {
        if (PlaylistItemIndex < 0)
            PlaylistItemIndex = first;
        PlaySystem->StartPlay();
    }
    hide();
}

void TfrmAddDVDVCD::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    SetDrives(ListDiscDrives());
}

} // namespace kolvarin
