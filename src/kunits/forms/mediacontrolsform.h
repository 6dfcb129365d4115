#pragma once

#include <array>
#include <functional>
#include <string>

#include <QString>

#include "skin/kskinnedmediacontrols.h"

class QAction;
class QMenu;

namespace kolvarin {

class TKSystem;

// The dialogs of the media-controls window; tests replace them.
struct TKMediaControlsHooks {
    // The preset file to load (save false) or save (save true); empty when
    // the dialog was cancelled. Unset asks with Qt's file dialog.
    std::function<QString(bool save)> ChoosePresetFile;
    // A preset that could not be read or written; unset shows a message box.
    std::function<void(const QString& text)> ShowMessage;
};

// The media-controls window: the speed slider and the ten equalizer bands
// turned into calls of the play system, with the equalizer presets in its
// popup menu; what it did shows through the user actions' status and
// on-screen texts. Slider values live in the skin record (speed 1..10, each
// step 25 %; bands 0..24, 12 being 0 dB). Main thread only.
class TfrmMediaControls : public TKSkinnedMediaControls {
public:
    explicit TfrmMediaControls(TKGUI& skin = GUI);
    ~TfrmMediaControls() override;

    TKMediaControlsHooks Hooks;
    // The play system it drives; null uses the global PlaySystem.
    TKSystem* System = nullptr;

    QAction* DefaultPreset1;
    QAction* LoadPreset1;
    QAction* SavePreset1;
    QMenu* Presets1;

    static constexpr int DefaultSpeed = 4; // 100 %
    // The folder of the presets menu, below the application path.
    static std::string PresetFolder();

    // The thumbs placed for the record's values.
    void PlaceSliders();
    // Fills the "Equalizer presets" submenu from the preset folder.
    void BuildPresetMenu();

    void DefaultPreset1Click();
    void LoadPreset1Click();
    void SavePreset1Click();
    // With a skin loaded and before shutdown: this caption active, the main,
    // playlist and video captions inactive, and the visible main, playlist
    // and media-controls windows brought to the top in that order.
    void FormActivate() override;

protected:
    void SeekBarChanged(TKImage& thumb, TKDragPhase phase) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    TKSystem* Sys() const;
    // FormShow and FormHide: the setting and the main menu's Mediacontrols1
    // check mark follow.
    void FormShowHide(bool visible);
    void SpeedChanged(TKDragPhase phase);
    void BandChanged(int band, TKDragPhase phase);
    void ShowBandStatus(int band);
    // The play system's bands shown on the sliders (after a preset).
    void ShowSystemBands();
    QString ChoosePresetFile(bool save);
    void ShowMessage(const QString& text);
};

// The process-wide media-controls window; set while it exists.
extern TfrmMediaControls* frmMediaControls;

} // namespace kolvarin
