#include <functional>

#include "core/playlist/kplaylistprocs.h"
#include "core/text/klanguage.h"
#include "forms/playlistform.h"
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

} // namespace

void TfrmPlaylist::BuildPopupMenu()
{
    using S = TLanguageSection;
    const auto text = [](S section, int number) { return Language.Text(section, number); };
    QMenu& m = *popmPlaylist;
    AddItem(m, "Playitems1", text(S::PlaylistPopupMenu, 5), [] {
        if (PlaySystem)
            PlaySystem->StartPlay();
    });
    m.addSeparator();
    AddItem(m, "RemoveItems1", text(S::PlaylistPopupMenu, 7), [this] {
        PlaylistTopLine = Scroll().Position;
        PlaylistDeleteSelected(false);
        Scroll().Position = PlaylistTopLine;
        RefreshPlaylist();
    });
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
}

} // namespace kolvarin
