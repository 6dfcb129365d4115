// The video window's DVD side: the navigator's chapter, title and time
// events, the audio, subtitle and "Jump to" menus, the DVD commands and the
// mouse on a DVD menu's buttons.
#include <QMouseEvent>

#include "core/settings/kconfig.h"
#include "core/text/klanguage.h"
#include "forms/videoform.h"
#include "media/controlif.h"
#include "playback/ksystem.h"

namespace kolvarin {

namespace {

// Status texts (from 1).
constexpr int kTextDvdLanguage = 15, kTextDvdSubtitle = 16, kTextChapterOfTitle = 17;

} // namespace

video::TDvdPlaySystem TfrmVideo::Dvd() { return {streams_.DvdControl.get(), streams_.DvdInfo.get(), &dvdState_}; }

video::TDvdTexts TfrmVideo::DvdTexts() const
{
    video::TDvdTexts t;
    t.ShowSubtitles = Language.Text(TLanguageSection::VideoPopupMenu_Subtitles, 1);
    t.Title = Language.Text(TLanguageSection::VideoPopupMenu_JumpTo, 1);
    t.Chapter = Language.Text(TLanguageSection::VideoPopupMenu_JumpTo, 2);
    t.ChapterOfTitle = Language.Text(TLanguageSection::Status, kTextChapterOfTitle);
    t.Language = Language.Text(TLanguageSection::Status, kTextDvdLanguage);
    t.Subtitle = Language.Text(TLanguageSection::Status, kTextDvdSubtitle);
    return t;
}

void TfrmVideo::PrepareDvd()
{
    dvdState_ = {};
    dvdMenus_ = {};
    video::TFilterGraph* graph = FilterGraph();
    if (!graph)
        return;
    graph->OnDVDChapterStart = [this](int chapter) { FilterGraphDVDChapterStart(chapter); };
    graph->OnDVDTitleChange = [this](int title) { FilterGraphDVDTitleChange(title); };
    graph->OnDVDCurrentHMSFTime = [this](media::DVD_HMSF_TIMECODE time, video::TDVDTimeCode) {
        FilterGraphDVDCurrentHMSFTime(time);
    };
}

void TfrmVideo::ResetSpeedItems()
{
    // The 1x item is the fourth of each speed menu.
    const std::vector<QAction*> forward = MenuItems(*Menu.Forwardspeed1);
    for (QMenu* speeds : {Menu.Forwardspeed1, Menu.Backwardspeed1})
        for (QAction* item : MenuItems(*speeds))
            item->setChecked(speeds == Menu.Forwardspeed1 && forward.size() > 3 && item == forward[3]);
}

void TfrmVideo::FilterGraphDVDChapterStart(int chapter)
{
    video::DvdChapterStart(Dvd(), DvdTexts(), dvdMenus_, chapter);
    ShowDvdMenus();
}

void TfrmVideo::FilterGraphDVDTitleChange(int title) { video::DvdTitleChange(Dvd(), title); }

void TfrmVideo::FilterGraphDVDCurrentHMSFTime(media::DVD_HMSF_TIMECODE time)
{
    const video::TDvdTimeDisplay d = video::DvdCurrentTime(dvdState_, time, Config ? Config->TimeMode : 0);
    if (!PlaySystem)
        return;
    PlaySystem->View().ShowTime(d.Hours, d.Minutes, d.Seconds, d.Remaining);
    // A drag's value is where the disc goes on release: the time must not move it.
    if (!PlaySystem->View().SeekBarDragging())
        PlaySystem->View().SetProgressBar(d.ProgressTag, d.ProgressEnabled, d.ProgressMax, d.ProgressPosition);
    PlaySystem->SetVideoSeekable(d.ProgressEnabled);
}

// --- menus ---------------------------------------------------------------------------

namespace {

// The tree's items as actions of menu; click(item) handles a click.
template <class Click>
void FillDvdMenu(QMenu& menu, const video::TDvdMenu& tree, Click click)
{
    // clear() leaves the submenus of an earlier tree alive.
    for (QAction* action : menu.actions())
        if (QMenu* sub = action->menu(); sub && sub->parent() == &menu)
            delete sub;
    menu.clear();
    for (const video::TDvdMenuItem& item : tree) {
        if (item.kind == video::TDvdMenuItem::Kind::Separator) {
            menu.addSeparator();
            continue;
        }
        const QString caption = QString::fromStdU16String(item.Caption);
        if (!item.Items.empty()) {
            FillDvdMenu(*menu.addMenu(caption), item.Items, click);
            continue;
        }
        QAction* action = menu.addAction(caption);
        action->setCheckable(true);
        action->setChecked(item.Checked);
        SetItemTag(action, item.Tag);
        QObject::connect(action, &QAction::triggered, &menu, [click, item] { click(item); });
    }
}

// Follows the tree's checks on the menu FillDvdMenu made of it.
void CheckDvdMenu(const QMenu& menu, const video::TDvdMenu& tree)
{
    const QList<QAction*> actions = menu.actions();
    for (qsizetype k = 0; k < actions.size() && size_t(k) < tree.size(); ++k) {
        actions[k]->setChecked(tree[size_t(k)].Checked);
        if (const QMenu* sub = actions[k]->menu())
            CheckDvdMenu(*sub, tree[size_t(k)].Items);
    }
}

} // namespace

void TfrmVideo::ShowDvdMenus()
{
    FillDvdMenu(*Menu.Audio1, dvdMenus_.Audio, [this](const video::TDvdMenuItem& item) {
        DvdMenuClicked(video::DvdAudioClick(Dvd(), DvdTexts(), dvdMenus_.Audio, item));
    });
    FillDvdMenu(*Menu.Subtitles1, dvdMenus_.Subtitles, [this](const video::TDvdMenuItem& item) {
        if (item.kind == video::TDvdMenuItem::Kind::ShowSubtitles)
            Toggledrawsubtitlesinvis1Click();
        else
            DvdMenuClicked(video::DvdSubtitleClick(Dvd(), DvdTexts(), dvdMenus_.Subtitles, item));
    });
    FillDvdMenu(*Menu.Jumpto1, dvdMenus_.JumpTo, [this](const video::TDvdMenuItem& item) {
        DvdMenuClicked(video::DvdJumpTo(Dvd(), DvdTexts(), dvdMenus_.JumpTo, item));
    });
}

void TfrmVideo::DvdMenuClicked(const video::TDvdMessage& message)
{
    CheckDvdMenu(*Menu.Audio1, dvdMenus_.Audio);
    CheckDvdMenu(*Menu.Subtitles1, dvdMenus_.Subtitles);
    CheckDvdMenu(*Menu.Jumpto1, dvdMenus_.JumpTo);
    if (!message.Text.empty())
        Notify(message.Text, message.Milliseconds);
}

void TfrmVideo::Toggledrawsubtitlesinvis1Click()
{
    video::DvdToggleSubtitles(Dvd(), dvdMenus_.Subtitles);
    DvdMenuClicked({});
}

// --- commands ------------------------------------------------------------------------

void TfrmVideo::DvdPlayForwards(double speed)
{
    if (GraphActive() && streams_.DvdControl)
        streams_.DvdControl->PlayForwards(speed, 0);
}

void TfrmVideo::DvdPlayBackwards(double speed)
{
    if (GraphActive() && streams_.DvdControl)
        streams_.DvdControl->PlayBackwards(speed, 0);
}

void TfrmVideo::DvdShowMenu(int menu)
{
    video::DvdShowMenu(Dvd(), GraphActive(), static_cast<media::DVD_MENU_ID>(menu));
}

void TfrmVideo::DvdPlayChapter(bool next) { video::DvdPlayChapter(Dvd(), GraphActive(), next); }

// --- the mouse on menu buttons -----------------------------------------------------------

std::optional<media::POINT> TfrmVideo::DvdPicturePoint(QPoint at) const
{
    const auto renderer = DSVideoWindowEx->GetFilter();
    const auto window = renderer ? renderer.as<media::IVideoWindow>() : nullptr;
    const auto video = renderer ? renderer.as<media::IBasicVideo>() : nullptr;
    int32_t left = 0, top = 0, width = 0, height = 0;
    int32_t sourceLeft = 0, sourceTop = 0, sourceWidth = 0, sourceHeight = 0;
    QWidget* owner = nullptr;
    if (!window || !video || media::Failed(window->GetWindowPosition(&left, &top, &width, &height)) ||
        media::Failed(window->get_Owner(&owner)) || !owner ||
        media::Failed(video->GetSourcePosition(&sourceLeft, &sourceTop, &sourceWidth, &sourceHeight)) || width <= 0 ||
        height <= 0)
        return std::nullopt;
    // The picture fills the renderer's window, which lies in its owner.
    const QPoint inWindow = owner->mapFromGlobal(DSVideoWindowEx->mapToGlobal(at)) - QPoint(left, top);
    if (inWindow.x() < 0 || inWindow.y() < 0 || inWindow.x() >= width || inWindow.y() >= height)
        return std::nullopt;
    return media::POINT{sourceLeft + static_cast<int32_t>(int64_t(inWindow.x()) * sourceWidth / width),
                        sourceTop + static_cast<int32_t>(int64_t(inWindow.y()) * sourceHeight / height)};
}

void TfrmVideo::DvdMouse(const QMouseEvent& event, bool release)
{
    if (!streams_.DvdControl)
        return;
    if (const std::optional<media::POINT> at = DvdPicturePoint(event.position().toPoint()))
        video::DvdMouse(Dvd(), GraphActive(), *at, release);
}

} // namespace kolvarin
