#include "kforms.h"

#include <algorithm>
#include <vector>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "core/settings/kconfig.h"
#include "kconfighooks.h"

#include "dialogs/aboutform.h"
#include "dialogs/configform.h"
#include "dialogs/newsform.h"
#include "forms/adddiscform.h"
#include "forms/addurlform.h"
#include "forms/appstates.h"
#include "forms/edititemform.h"
#include "forms/fullscreencontrol.h"
#include "forms/mainform.h"
#include "forms/mediacontrolsform.h"
#include "forms/playlistform.h"
#include "forms/searchform.h"
#include "forms/videoform.h"
#include "skin/kskinnedmain.h"
#include "skin/kskinnedmediacontrols.h"
#include "skin/kskinnedplaylist.h"
#include "skin/kskinnedvideo.h"

namespace kolvarin {

TKForms* Forms = nullptr;

TKForms::TKForms() = default;
TKForms::~TKForms() { DestroyAll(); }

const char* TKForms::Name(Form form)
{
    static constexpr const char* names[Count] = {
        "frmMain",           "frmVideo",  "frmPlaylist",  "frmConfig",   "frmMediaControls",          "frmSearch",
        "frmAbout",          "frmAddURL", "frmAddDVDVCD", "frmEditItem", "frmVideoFullscreenControl", "frmNews",
        "frmTemplateEditor",
    };
    return names[form];
}

namespace {

std::unique_ptr<QWidget> CreateForm(TKForms::Form form)
{
    switch (form) {
    case TKForms::frmMain: return std::make_unique<TfrmMain>();
    case TKForms::frmVideo: return std::make_unique<TfrmVideo>();
    case TKForms::frmPlaylist: return std::make_unique<TfrmPlaylist>();
    case TKForms::frmSearch: return std::make_unique<TfrmSearch>();
    case TKForms::frmAddURL: return std::make_unique<TfrmAddURL>();
    case TKForms::frmAddDVDVCD: return std::make_unique<TfrmAddDVDVCD>();
    case TKForms::frmEditItem: return std::make_unique<TfrmEditItem>();
    case TKForms::frmMediaControls: return std::make_unique<TfrmMediaControls>();
    case TKForms::frmVideoFullscreenControl: return std::make_unique<TfrmVideoFullscreenControl>();
    case TKForms::frmAbout: return std::make_unique<TfrmAbout>();
    case TKForms::frmNews: return std::make_unique<TfrmNews>();
    default: {
        auto plain = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint);
        plain->setWindowTitle(QStringLiteral("Kolvarin"));
        return plain;
    }
    }
}

} // namespace

namespace {

// The windows the skin engine paints; the others are dialogs.
bool IsSkinned(TKForms::Form form)
{
    return form == TKForms::frmMain || form == TKForms::frmVideo || form == TKForms::frmPlaylist ||
           form == TKForms::frmMediaControls || form == TKForms::frmVideoFullscreenControl;
}

} // namespace

void TKForms::Create(bool skinned)
{
    for (int i = 0; i < Count; ++i) {
        const Form form = static_cast<Form>(i);
        if (form == frmConfig || IsSkinned(form) != skinned || forms_[i])
            continue;
        forms_[i] = CreateForm(form);
        forms_[i]->setObjectName(Name(form));
    }
}

void TKForms::CreateAll()
{
    CreateSkinnedWindows();
    CreateDialogs();
}

void TKForms::CreateSkinnedWindows()
{
    Create(true);
    ConfigDialogFactory = [this] { ConfigDialog(); };
    InstallHooks();
}

bool TKForms::CreateDialogs()
{
    if (forms_[frmSearch])
        return false;
    Create(false);
    kolvarin::frmAbout = static_cast<TfrmAbout*>(forms_[frmAbout].get());
    kolvarin::frmNews = static_cast<TfrmNews*>(forms_[frmNews].get());
    return true;
}

TfrmConfig& TKForms::ConfigDialog()
{
    if (!forms_[frmConfig]) {
        auto dialog = std::make_unique<TfrmConfig>();
        kolvarin::frmConfig = dialog.get();
        InstallConfigHooks(*dialog);
        forms_[frmConfig] = std::move(dialog);
    }
    return *kolvarin::frmConfig;
}

TKSkinWindows TKForms::SkinWindows() const
{
    if (!forms_[frmMain])
        return {};
    return {&Main(), &Playlist(), &MediaControls(), &Video(), &FullscreenBar()};
}

TfrmMain& TKForms::Main() const { return static_cast<TfrmMain&>(*forms_[frmMain]); }
TfrmVideo& TKForms::Video() const { return static_cast<TfrmVideo&>(*forms_[frmVideo]); }
TfrmPlaylist& TKForms::Playlist() const { return static_cast<TfrmPlaylist&>(*forms_[frmPlaylist]); }
TfrmMediaControls& TKForms::MediaControls() const { return static_cast<TfrmMediaControls&>(*forms_[frmMediaControls]); }
TfrmVideoFullscreenControl& TKForms::FullscreenBar() const
{
    return static_cast<TfrmVideoFullscreenControl&>(*forms_[frmVideoFullscreenControl]);
}

void TKForms::DestroyAll()
{
    kolvarin::frmAbout = nullptr;
    kolvarin::frmNews = nullptr;
    kolvarin::frmConfig = nullptr;
    ConfigDialogFactory = nullptr;
    for (auto& form : forms_)
        form.reset();
}

bool TKForms::SkinnedWindowsOverlap() const
{
    std::vector<QRect> shown;
    for (Form form : {frmMain, frmPlaylist, frmMediaControls})
        if (const QWidget* w = forms_[form].get(); w && w->isVisible())
            shown.push_back(w->frameGeometry());
    for (size_t i = 0; i < shown.size(); ++i)
        for (size_t j = i + 1; j < shown.size(); ++j)
            if (shown[i].intersects(shown[j]))
                return true;
    return false;
}

void TKForms::ArrangeSkinnedWindows()
{
    ArrangeWindows();
    if (SkinnedWindowsOverlap())
        ShowSkinnedWindows();
}

void TKForms::ShowAtStart()
{
    ShowStartStates();
    ArrangeWindows();
    if (FirstStart || SkinnedWindowsOverlap())
        ShowSkinnedWindows();
    SetApplicationState("PROGRAMEND");
    // They map and paint now, not when the message loop starts after the
    // rest of the start. Nothing the loop delivers can act yet: the play
    // system does not exist, the handlers wait for AppInitialized and other
    // instances' command lines wait for EnableReceivedParameters.
    QGuiApplication::sync();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TKForms::ShowSkinnedWindows()
{
    QWidget* main = forms_[frmMain].get();
    if (!main)
        return;
    const std::pair<Form, bool> docked[] = {{frmPlaylist, !Config || Config->PlaylistVis},
                                            {frmMediaControls, !Config || Config->MediaConVis}};
    // The main window with the visible windows docked below it, centred as
    // one block, so the whole block is on a small screen too.
    int height = main->height();
    for (const auto& [form, visible] : docked)
        if (visible)
            height += forms_[form]->height();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        main->move(area.center().x() - main->width() / 2, std::max(area.top(), area.center().y() - height / 2));
    }
    main->show();
    int y = main->y() + main->height();
    for (const auto& [form, visible] : docked) {
        QWidget* window = forms_[form].get();
        window->move(main->x(), y);
        window->setVisible(visible);
        if (visible)
            y += window->height();
    }
}

} // namespace kolvarin
