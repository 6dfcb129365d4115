// The main window's ways of adding to the playlist: dropped files, the
// add-files and eject actions, a folder.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMimeData>

#include "core/desktop/kshellutils.h"
#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kglobals.h"
#include "core/text/klanguage.h"
#include "core/text/kstrings.h"
#include "core/text/kwideformat.h"
#include "forms/mainform.h"
#include "forms/useractions.h"
#include "playback/ksystem.h"

namespace kolvarin {

void TfrmMain::BeginAdding(const std::u16string& status, std::function<void(size_t added)> after)
{
    // A run under way ends here, keeping what it added.
    Adder.Cancel();
    SavedStatusText = statusText_;
    imgStatus->SetPicture(Skin().Main.StatusIconWait.Bitmap);
    SetStatusText(status);
    Adder.OnProgress = [this](size_t done, size_t total) {
        if (total > 0)
            SetStatusText(WideFormat(u"%s (%d / %d)", StatusLanguageText(txtAddingFiles), done, total));
    };
    Adder.OnDone = [this, after = std::move(after)](size_t added, bool) {
        RefreshPlaylist();
        imgStatus->SetPicture(Skin().Main.StatusIconReady.Bitmap);
        SetStatusText(SavedStatusText);
        if (after)
            after(added);
    };
}

void TfrmMain::DropFiles(std::vector<std::u16string> names)
{
    BeginAdding(StatusLanguageText(txtAddingFiles), [](size_t) {
        if (PlaySystem && PlaylistCount() > 0)
            PlaySystem->StartPlay();
    });
    PlaylistClear();
    SortNames(names);
    Adder.Add = [](const std::u16string& name) {
        const int before = PlaylistCount();
        if (PlaySystem)
            PlaySystem->AddFilesToPlaylist({name}, true);
        return PlaylistCount() > before;
    };
    Adder.Start(std::move(names));
}

void TfrmMain::AddFiles(std::vector<std::u16string> names, bool clear)
{
    BeginAdding(StatusLanguageText(txtAddingFiles), [clear](size_t) {
        if (clear && PlaySystem && !SysPlayed && PlaylistCount() > 0)
            PlaySystem->Play(0);
    });
    if (clear)
        PlaylistClear();
    SortNames(names);
    Adder.Add = [](const std::u16string& name) { return PlaySystem && PlaySystem->AddFileToPlaylist(name); };
    Adder.Start(std::move(names));
}

namespace {

std::vector<std::u16string> ChooseFiles(QWidget* owner, const QString& filter)
{
    const std::u16string start = Config ? Config->LastDir : std::u16string();
    std::vector<std::u16string> names;
    for (const QString& file :
         QFileDialog::getOpenFileNames(owner, QStringLiteral("Add files..."), QString::fromStdU16String(start), filter))
        names.push_back(file.toStdU16String());
    return names;
}

} // namespace

void TfrmMain::AddFromPlaylistExecute()
{
    std::vector<std::u16string> names = ChooseFiles(this, AddFilesFilter);
    if (!names.empty())
        AddFiles(std::move(names), false);
}

void TfrmMain::AddFromEjectExecute()
{
    std::vector<std::u16string> names = ChooseFiles(this, AddFilesFilter);
    if (!names.empty())
        AddFiles(std::move(names), true);
}

void TfrmMain::AddDirExecute()
{
    std::u16string folder = Config ? Config->LastDir : std::u16string();
    if (BrowseForFolder(this, folder, StatusLanguageText(txtChooseDirectory), folder))
        AddDirectory(folder);
}

void TfrmMain::AddDirectory(const std::u16string& folder)
{
    BeginAdding(StatusLanguageText(txtReadingDirectory), [folder](size_t) {
        if (Config)
            Config->LastDir = folder;
    });
    Adder.Add = [](const std::u16string& name) { return PlaySystem && PlaySystem->AddFileToPlaylist(name); };
    Adder.Start({folder});
}

void TfrmMain::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TfrmMain::dropEvent(QDropEvent* event)
{
    std::vector<std::u16string> names = DroppedFiles(*event->mimeData());
    if (names.empty())
        return;
    event->acceptProposedAction();
    DropFiles(std::move(names));
}

void TfrmMain::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && Adder.Busy()) {
        Adder.Cancel();
        return;
    }
    TKSkinnedMain::keyPressEvent(event);
}

} // namespace kolvarin
