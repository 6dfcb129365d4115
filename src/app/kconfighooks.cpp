#include "kconfighooks.h"

#include <QMessageBox>

#include "core/settings/kconfig.h"
#include "core/text/klanguage.h"
#include "dialogs/configform.h"
#include "forms/applylanguage.h"
#include "forms/appstates.h"
#include "forms/mainform.h"
#include "forms/playlistform.h"
#include "forms/useractions.h"
#include "forms/videoform.h"
#include "kapp.h"
#include "kforms.h"
#include "playback/ksystem.h"
#include "skin/kskinchange.h"
#include "skin/kskinelements.h"
#include "skin/kskinnedmain.h"
#include "video/graphbuilder.h"
#include "video/kdirectshowside.h"

namespace kolvarin {

namespace {

TKSkinnedMain* MainWindow() { return Forms ? Forms->SkinWindows().Main : nullptr; }

// A main-window check box showing a setting: state 3 with tag 1 when on,
// state 1 with tag 0 when off.
void ShowCheckbox(TKImage& control, TKSCheckbox& box, bool on)
{
    box.State = on ? 3 : 1;
    control.Tag = on ? 1 : 0;
    SkinSetCheckboxState(GUI, control, box);
}

// 0 stops the label at its start; 1 moves it right, 2 left.
void SetScrollDirection(TKSScrollLabel& label, int direction)
{
    label.Mode = static_cast<uint8_t>(direction == 1 ? smRight : direction == 2 ? smLeft : smStatic);
    if (label.Mode == smStatic) {
        label.X1 = 0;
        label.X2 = label.TextWidth + 1;
    }
}

} // namespace

void InstallConfigHooks(TfrmConfig& form)
{
    TKConfigHooks& hooks = form.Hooks;
    hooks.PlayModeChanged = [] {
        if (TKSkinnedMain* main = MainWindow(); main && Config)
            ShowCheckbox(*main->imgPlaymodeCheckbox, GUI.Main.PlaymodeCheckbox, Config->PlayMode.Enabled);
    };
    hooks.VideoBehaviourChanged = [] {
        if (TKSkinnedMain* main = MainWindow(); main && Config) {
            ShowCheckbox(*main->imgAutofullscreenCheckbox, GUI.Main.AutofullscreenCheckbox, Config->AutoFullscreen);
            ShowCheckbox(*main->imgAutoVideoResizeCheckbox, GUI.Main.AutoVideoResizeCheckbox, Config->AutoVideoResize);
        }
        if (frmVideo)
            frmVideo->ApplyCursorHiding();
    };
    hooks.VideoColorsChanged = [] {
        if (frmVideo)
            frmVideo->ApplyColorControls();
    };
    hooks.FullscreenControlChanged = [] {
        if (frmVideo)
            frmVideo->ApplyFullscreenControl();
    };
    hooks.FaderChanged = [] {
        if (PlaySystem)
            PlaySystem->SetEndSyncs();
    };
    hooks.GraphTypes = [] {
        std::vector<TKGraphType> types;
        if (!video::VideoSide)
            return types;
        video::TKGraphBuilder& builder = video::VideoSide->GraphBuilder();
        builder.RefreshFilterGraphTypes();
        for (const video::TGraphScriptInfo& script : builder.Scripts()) {
            TKGraphType& type = types.emplace_back();
            type.Script = script.Name;
            for (const video::TFilterGraphScriptType& fileType : script.FileTypes)
                type.FileTypes.emplace_back(fileType.Ext, fileType.Name);
        }
        return types;
    };
    hooks.SpeakersChanged = [] {
        if (PlaySystem)
            PlaySystem->ApplySpeakers();
    };
    hooks.RepaintPlaylist = [] {
        if (frmPlaylist)
            frmPlaylist->RefreshPlaylist();
    };
    // The status bar is off for the alignment "None" only.
    hooks.LayoutPlaylist = [] {
        if (Config)
            GUI.Playlist.Statusbar.Hidden = Config->SBTextAlign == 0;
        if (frmPlaylist) {
            frmPlaylist->FormResize();
            frmPlaylist->RefreshPlaylist();
        }
    };
    hooks.SetTrayMode = [] { kolvarin::SetTrayMode(); };
    hooks.SetScrollDirection = [](int direction) {
        SetScrollDirection(GUI.Main.Scrolllabel, direction);
        SetScrollDirection(GUI.VideoFullscreenControl.Scrolllabel, direction);
    };
    hooks.AnalyzerChanged = [] { ApplySpectrumSettings(); };
    hooks.BufferChanged = [] {
        if (PlaySystem)
            PlaySystem->SetBassBuffer();
    };
    hooks.ApplySkin = [](const std::string& name) {
        std::string shown = Forms ? ChangeSkin(GUI, name, Forms->ZipHandler, Forms->SkinWindows()) : name;
        ApplySpectrumSettings();
        SetApplicationState("SKINCHANGE");
        if (Forms && Forms->SkinnedWindowsOverlap())
            Forms->ShowSkinnedWindows();
        return shown.empty() ? name : shown;
    };
    hooks.ArrangeWindows = [] {
        if (Forms)
            Forms->ArrangeSkinnedWindows();
    };
    // The status text (and with it the window title) is read at run time:
    // it is shown again in the new language at once.
    hooks.ApplyLanguage = [] {
        ApplyLanguage(Language);
        ResetStatus();
    };
    hooks.ShowMessage = [&form](const QString& text) {
        QMessageBox::information(&form, QStringLiteral("Kolvarin"), text);
    };
}

} // namespace kolvarin
