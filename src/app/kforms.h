#pragma once

#include <array>
#include <memory>

#include "skin/kskinapply.h"
#include "zip/ziphandler.h"

class QWidget;

namespace kolvarin {

class TfrmConfig;
class TfrmMain;
class TfrmMediaControls;
class TfrmPlaylist;
class TfrmVideo;
class TfrmVideoFullscreenControl;

// In a namespace of their own: as members of TKForms the enumerators would
// shadow the window globals of the same names (clang's -Wshadow).
namespace forms {
enum Form {
    frmMain,
    frmVideo,
    frmPlaylist,
    frmConfig,
    frmMediaControls,
    frmSearch,
    frmAbout,
    frmAddURL,
    frmAddDVDVCD,
    frmEditItem,
    frmVideoFullscreenControl,
    frmNews,
    frmTemplateEditor,
    Count
};
} // namespace forms

// The program's thirteen windows, created once at start-up in this order and
// destroyed at the end in the same order. Start-up creates the five skinned
// windows first (the skin engine's skeletons) and the dialogs, which nobody
// sees yet, once the main window is on the screen; the configuration dialog
// is built when it is first opened (building it took as long as all the
// others together). The about and news windows are also reachable as
// frmAbout and frmNews while they exist; until a window's own class exists
// it is an empty frameless window with the window's name.
class TKForms {
public:
    using Form = forms::Form;
    using enum forms::Form;

    TKForms();
    ~TKForms();

    // Every window but the configuration dialog.
    void CreateAll();
    // The main, video, playlist, media-controls and full-screen control
    // windows, and the hooks between them.
    void CreateSkinnedWindows();
    // The other windows but the configuration dialog; false (nothing done)
    // when they exist already.
    bool CreateDialogs();
    void DestroyAll();
    // Null for the configuration dialog until it is built.
    QWidget* Get(Form form) const { return forms_[form].get(); }
    // The configuration dialog, built now when it does not exist (the
    // start-up sequence makes ShowConfigDialog build it through this).
    TfrmConfig& ConfigDialog();
    static const char* Name(Form form);
    // The skinned windows, for applying a skin (null before CreateAll).
    TKSkinWindows SkinWindows() const;
    // The skinned windows by their types, from CreateSkinnedWindows to
    // DestroyAll.
    TfrmMain& Main() const;
    TfrmVideo& Video() const;
    TfrmPlaylist& Playlist() const;
    TfrmMediaControls& MediaControls() const;
    TfrmVideoFullscreenControl& FullscreenBar() const;
    // Shows the main window with the playlist and media-controls windows
    // docked below it, each as the settings say, the block centred on the
    // screen (its top never above the work area).
    void ShowSkinnedWindows();
    // Two of the visible main, playlist and media-controls windows cover
    // each other (positions saved for another skin's sizes, or none saved).
    bool SkinnedWindowsOverlap() const;
    // The windows placed from the settings; where they would cover each
    // other, shown as the docked block instead.
    void ArrangeSkinnedWindows();
    // Start-up shows the windows as soon as they wear their skin, placed as
    // ArrangeSkinnedWindows places them (as the docked block at the first
    // start), and the settings take their places, so that arranging them
    // again later in the start leaves them where they are.
    void ShowAtStart();
    // No settings file was there at start-up.
    bool FirstStart = false;

    // The main window's zip component, which unpacks skin packages.
    TZipHandler ZipHandler;

private:
    // Creates the skinned windows or the dialogs that do not exist yet, in
    // their order.
    void Create(bool skinned);
    // Every hook between the skinned windows, and between them and the user
    // actions and application states, in one place; each acts on its window
    // only while that exists.
    void InstallHooks();

    std::array<std::unique_ptr<QWidget>, Count> forms_;
};

// The windows while they exist (from "Create forms" to the end); else null.
extern TKForms* Forms;

} // namespace kolvarin
