#include <filesystem>
#include <functional>
#include <stdexcept>

#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>
#include <QTabWidget>

#include "core/playlist/kplaylistfiles.h"
#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/settings/ksystemtypes.h"
#include "core/system/kglobals.h"
#include "core/text/klanguage.h"
#include "core/text/kstrings.h"
#include "forms/adddiscform.h"
#include "forms/addurlform.h"
#include "forms/edititemform.h"
#include "forms/playlistform.h"
#include "forms/searchform.h"
#include "playback/ksystem.h"
#include "skin/barpopupmenu.h"

namespace kolvarin {

namespace {

QAction* AddItem(QMenu& menu, const char* name, const std::u16string& text, std::function<void()> run)
{
    QAction* action = menu.addAction(QString::fromStdU16String(text));
    action->setObjectName(QString::fromLatin1(name));
    QObject::connect(action, &QAction::triggered, std::move(run));
    return action;
}

// Shows a tool window centred on another window, or on the screen.
void ShowCentred(QWidget* dialog, const QWidget* over)
{
    if (!dialog)
        return;
    dialog->adjustSize();
    QRect area = over ? over->frameGeometry() : QRect();
    if (!over)
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            area = screen->availableGeometry();
    dialog->move(area.left() + area.width() / 2 - dialog->width() / 2,
                 area.top() + area.height() / 2 - dialog->height() / 2);
    dialog->show();
    dialog->raise();
    // Typed keys belong to the dialog's edit field, not to the playlist's hot keys.
    dialog->activateWindow();
}

} // namespace

void TfrmPlaylist::BuildPopupMenu()
{
    using S = TLanguageSection;
    const auto text = [](S section, int number) { return Language.Text(section, number); };
    QMenu& m = *popmPlaylist;
    AddItem(m, "Addfiles1", text(S::PlaylistPopupMenu, 1), [this] {
        if (OnAddFiles)
            OnAddFiles();
    });
    AddItem(m, "Adddirectory1", text(S::PlaylistPopupMenu, 2), [this] {
        if (OnAddDirectory)
            OnAddDirectory();
    });
    AddItem(m, "AddDVD1", text(S::PlaylistPopupMenu, 3), [this] { AddDVD1Click(); });
    AddItem(m, "AddURL1", text(S::PlaylistPopupMenu, 4), [this] { AddURL1Click(); });
    m.addSeparator();
    AddItem(m, "Playitems1", text(S::PlaylistPopupMenu, 5), [] {
        if (PlaySystem)
            PlaySystem->StartPlay();
    });
    AddItem(m, "RefreshID3Tag1", text(S::PlaylistPopupMenu, 18), [this] { RefreshID3Tag1Click(); });
    m.addSeparator();
    AddItem(m, "Edititem1", text(S::PlaylistPopupMenu, 6), [this] { Edititem1Click(); });
    AddItem(m, "RemoveItems1", text(S::PlaylistPopupMenu, 7), [this] {
        PlaylistTopLine = Scroll().Position;
        PlaylistDeleteSelected(false);
        Scroll().Position = PlaylistTopLine;
        RefreshPlaylist();
    });
    AddItem(m, "Removefilesfromharddisk1", text(S::PlaylistPopupMenu, 17), [this] { Removefilesfromharddisk1Click(); });
    AddItem(m, "CropItems1", text(S::PlaylistPopupMenu, 8), [this] {
        PlaylistInvertSelection();
        PlaylistDeleteSelected(false);
        RefreshPlaylist();
    });
    QMenu* sort = m.addMenu(QString::fromStdU16String(text(S::PlaylistPopupMenu, 9)));
    sort->setObjectName(QStringLiteral("Sort1"));
    static constexpr const char* kSortNames[] = {"Caption1", "FileName1", "Time1",   "Track1",
                                                 "Video1",   "Audio1",    "Random1", "Reverse1"};
    // The language lists audio before video; the modes put video (4) first.
    static constexpr int kSortTexts[] = {1, 2, 3, 4, 6, 5, 7, 8};
    for (int mode = 0; mode < 8; ++mode)
        AddItem(*sort, kSortNames[mode], text(S::PlaylistPopupMenu_Sort, kSortTexts[mode]),
                [this, mode] { SortPlaylist(mode); });
    AddItem(m, "Finditem1", text(S::PlaylistPopupMenu, 10), [this] { Finditem1Click(); });
    m.addSeparator();
    AddItem(m, "Selectall1", text(S::PlaylistPopupMenu, 11), [this] {
        PlaylistSelectAll();
        RefreshPlaylist();
    });
    AddItem(m, "Selectnone1", text(S::PlaylistPopupMenu, 12), [this] {
        PlaylistDeselectAll();
        RefreshPlaylist();
    });
    AddItem(m, "Invertselection1", text(S::PlaylistPopupMenu, 13), [this] {
        PlaylistInvertSelection();
        RefreshPlaylist();
    });
    m.addSeparator();
    AddItem(m, "Clearplaylist1", text(S::PlaylistPopupMenu, 14), [this] {
        PlaylistClear();
        Scroll().Position = Scroll().Max = 0;
        PlaceThumb();
        RefreshPlaylist();
    });
    AddItem(m, "Loadplaylist1", text(S::PlaylistPopupMenu, 15), [this] { Loadplaylist1Click(); });
    AddItem(m, "Saveplaylist1", text(S::PlaylistPopupMenu, 16), [this] { Saveplaylist1Click(); });
    stresstestSeparator_ = m.addSeparator();
    Stresstest1 = AddItem(m, "Stresstest1", u"Stresstest", [this] { Stresstest1Click(); });
    SetDebugItemsVisible(Config && Config->DebugEnabled);

    Confirm = [this](const std::u16string& question) {
        return QMessageBox::warning(this, windowTitle(), QString::fromStdU16String(question),
                                    QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    ShowMessage = [this](const std::u16string& message) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdU16String(message));
    };
    AskText = [this](const std::u16string& caption, const std::u16string& prompt) {
        return QInputDialog::getText(this, QString::fromStdU16String(caption), QString::fromStdU16String(prompt))
            .toStdU16String();
    };
}

void TfrmPlaylist::SetDebugItemsVisible(bool visible)
{
    Stresstest1->setVisible(visible);
    stresstestSeparator_->setVisible(visible);
}

void TfrmPlaylist::AddURL1Click() { ShowCentred(frmAddURL, this); }
void TfrmPlaylist::AddDVD1Click() { ShowCentred(frmAddDVDVCD, this); }
void TfrmPlaylist::Finditem1Click() { ShowCentred(frmSearch, this); }

void TfrmPlaylist::Edititem1Click()
{
    if (clickedIndex_ < 0 || !frmEditItem || !frmEditItem->LoadEntry(clickedIndex_))
        return;
    // Opened from the list it starts on its first page; Reload keeps the page.
    frmEditItem->PageControl1->setCurrentIndex(0);
    ShowCentred(frmEditItem, nullptr);
}

void TfrmPlaylist::RefreshID3Tag1Click()
{
    if (!PlaySystem)
        return;
    TKPlayerView& view = PlaySystem->View();
    const std::u16string kept = view.StatusText();
    view.SetStatusText(Language.Text(TLanguageSection::Status, 32));
    for (int i = 0, count = PlaylistCount(); i < count; ++i)
        PlaySystem->ReadPlaylistItemTag(i);
    RefreshPlaylist();
    view.SetStatusText(kept);
}

void TfrmPlaylist::Removefilesfromharddisk1Click()
{
    if (PlaylistSelectedCount() == 0 || !Confirm(Language.Text(TLanguageSection::Status, 22)))
        return;
    PlaylistTopLine = Scroll().Position;
    PlaylistDeleteSelected(true);
    Scroll().Position = PlaylistTopLine;
    RefreshPlaylist();
}

bool TfrmPlaylist::LoadPlaylist(const std::u16string& fileName)
{
    const std::u16string ext = WideLowerCase(ExtractFileExtW(fileName));
    const std::string name = Utf16ToUtf8(fileName);
    bool loaded = false;
    if (ext == u".kpl")
        loaded = LoadPlaylistFile(name, true, true);
    else if (ext == u".pls")
        loaded = LoadPlsFile(name, true, true);
    else if (ext == u".m3u")
        loaded = LoadM3uFile(name, true, true);
    PlaceThumb();
    RefreshPlaylist();
    return loaded;
}

void TfrmPlaylist::Loadplaylist1Click()
{
    const QString file = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open playlist..."), QString(),
        QStringLiteral("Supported Playlists (*.kpl *.pls *.m3u);;Kolvarin Playlist (*.kpl);;M3U Playlist "
                       "(*.m3u);;ShoutCast Playlist (*.pls)"));
    if (!file.isEmpty())
        LoadPlaylist(file.toStdU16String());
}

void TfrmPlaylist::Saveplaylist1Click()
{
    QFileDialog dialog(this, QStringLiteral("Save playlist..."), QString(),
                       QStringLiteral("Kolvarin Playlist (*.kpl)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("kpl"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    // The file holds the .kpl format, and loading goes by the extension.
    std::filesystem::path file = dialog.selectedFiles().first().toStdString();
    file.replace_extension(".kpl");
    try {
        SavePlaylistFile(file.string());
    } catch (const std::runtime_error& error) {
        ShowMessage(Utf8ToUtf16(error.what()));
    }
}

void TfrmPlaylist::Stresstest1Click()
{
    StressTest.Stop();
    if (PlaySystem && SysActive)
        PlaySystem->Stop(true);
    const std::u16string answer = AskText(u"Enter max stresstest count", u"Count:");
    if (answer.empty())
        return;
    bool number = false;
    const int maximum = QString::fromStdU16String(answer).trimmed().toInt(&number);
    if (!number) {
        ShowMessage(u"'" + answer + u"' is not a valid integer value.");
        return;
    }
    StressTest.Start(maximum);
}

} // namespace kolvarin
