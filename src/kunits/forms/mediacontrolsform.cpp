#include "forms/mediacontrolsform.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QShowEvent>

#include "core/settings/kconfig.h"
#include "core/system/kfiles.h"
#include "core/system/kglobals.h"
#include "core/system/kpaths.h"
#include "core/text/klanguage.h"
#include "core/text/kstrings.h"
#include "forms/applylanguage.h"
#include "forms/mainform.h"
#include "forms/playlistform.h"
#include "forms/useractions.h"
#include "forms/videoform.h"
#include "playback/kequalizer.h"
#include "playback/ksystem.h"
#include "skin/kskinelements.h"

namespace kolvarin {

TfrmMediaControls* frmMediaControls = nullptr;

namespace {

constexpr int kOSDMilliseconds = 2000;
const QString kPresetFilter = QStringLiteral("Kolvarin Equalizer Preset (*.keqp)");

bool Running() { return AppInitialized && !AppKilled; }

std::u16string SpeedText(int64_t value)
{
    const int percent = value >= 1 && value <= 10 ? static_cast<int>(value) * 25 : 0;
    return Language.Format(TLanguageSection::Status, 9, percent, u"%");
}

QString MenuText(int number) { return LanguageQText(TLanguageSection::MediaControlsPopupMenu, number); }

} // namespace

TfrmMediaControls::TfrmMediaControls(TKGUI& skin) : TKSkinnedMediaControls(skin)
{
    DefaultPreset1 = Named(popmMediaControls->addAction(MenuText(1)), "DefaultPreset1");
    LoadPreset1 = Named(popmMediaControls->addAction(MenuText(2)), "LoadPreset1");
    SavePreset1 = Named(popmMediaControls->addAction(MenuText(3)), "SavePreset1");
    popmMediaControls->addSeparator();
    Presets1 = Named(popmMediaControls->addMenu(MenuText(4)), "Presets1");
    QObject::connect(DefaultPreset1, &QAction::triggered, popmMediaControls, [this] { DefaultPreset1Click(); });
    QObject::connect(LoadPreset1, &QAction::triggered, popmMediaControls, [this] { LoadPreset1Click(); });
    QObject::connect(SavePreset1, &QAction::triggered, popmMediaControls, [this] { SavePreset1Click(); });
    QObject::connect(popmMediaControls, &QMenu::aboutToShow, popmMediaControls, [this] { BuildPresetMenu(); });

    // The background carries this window's menu, the caption the main one.
    imgForm->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(imgForm, &QWidget::customContextMenuRequested, imgForm,
                     [this](const QPoint& at) { popmMediaControls->popup(imgForm->mapToGlobal(at)); });
    imgCaptionbar->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(imgCaptionbar, &QWidget::customContextMenuRequested, imgCaptionbar, [this](const QPoint& at) {
        if (frmMain)
            frmMain->popmMain->popup(imgCaptionbar->mapToGlobal(at));
    });
    frmMediaControls = this;
}

TfrmMediaControls::~TfrmMediaControls()
{
    if (frmMediaControls == this)
        frmMediaControls = nullptr;
}

std::string TfrmMediaControls::PresetFolder() { return ApplicationPath + "data/presets/"; }

TKSystem* TfrmMediaControls::Sys() const { return System ? System : PlaySystem; }

void TfrmMediaControls::PlaceSliders()
{
    TKSMediaControls& mc = Skin().MediaControls;
    SkinPlaceSeekBarThumb(Skin(), *imgSpeedBackground, *imgSpeedBar, mc.SpeedSeekBar);
    for (size_t band = 0; band < mc.Equalizer.size(); ++band)
        SkinPlaceSeekBarThumb(Skin(), *imgEQBackground[band], *imgEQBar[band], mc.Equalizer[band]);
}

void TfrmMediaControls::SeekBarChanged(TKImage& thumb, TKDragPhase phase)
{
    if (&thumb == imgSpeedBar) {
        SpeedChanged(phase);
        return;
    }
    for (size_t band = 0; band < imgEQBar.size(); ++band)
        if (&thumb == imgEQBar[band])
            BandChanged(static_cast<int>(band), phase);
}

void TfrmMediaControls::SpeedChanged(TKDragPhase phase)
{
    TKSSeekBar& bar = Skin().MediaControls.SpeedSeekBar;
    TKSystem* system = Sys();
    switch (phase) {
    case TKDragPhase::Down:
        if (system)
            system->SetSpeed(static_cast<int>(bar.Value));
        break;
    case TKDragPhase::Move: {
        if (system)
            system->SetSpeed(static_cast<int>(bar.Value));
        const std::u16string text = SpeedText(bar.Value);
        ShowStatus(text);
        ShowOSD(text);
        StartOSDTimer(kOSDMilliseconds);
        break;
    }
    case TKDragPhase::Up: break;
    case TKDragPhase::Reset:
        bar.Value = DefaultSpeed;
        if (Config)
            Config->Speed = DefaultSpeed;
        SkinPlaceSeekBarThumb(Skin(), *imgSpeedBackground, *imgSpeedBar, bar);
        if (system)
            system->SetSpeed(DefaultSpeed);
        ShowStatus(SpeedText(DefaultSpeed));
        break;
    }
}

void TfrmMediaControls::BandChanged(int band, TKDragPhase phase)
{
    TKSMediaControls& mc = Skin().MediaControls;
    if (phase == TKDragPhase::Up)
        return;
    if (phase == TKDragPhase::Reset) {
        mc.Equalizer[band].Value = EqualizerNeutralValue;
        SkinPlaceSeekBarThumb(Skin(), *imgEQBackground[band], *imgEQBar[band], mc.Equalizer[band]);
    }
    // The play system takes all ten sliders, as they stand in the record.
    if (TKSystem* system = Sys())
        for (int i = 0; i < EqualizerBandCount; ++i)
            system->SetEqualizerBandBass(i, static_cast<int>(mc.Equalizer[i].Value));
    ShowBandStatus(band);
}

void TfrmMediaControls::ShowBandStatus(int band)
{
    const int value = static_cast<int>(Skin().MediaControls.Equalizer[band].Value);
    ShowStatus(
        Language.Format(TLanguageSection::Status, 30, GetEqualizerBandName(band), GetEqualizerBandGainText(value)));
}

void TfrmMediaControls::ShowSystemBands()
{
    TKSystem* system = Sys();
    if (!system)
        return;
    TKSMediaControls& mc = Skin().MediaControls;
    const std::array<int, 10>& bands = system->EqualizerSliders();
    for (size_t band = 0; band < mc.Equalizer.size(); ++band)
        mc.Equalizer[band].Value = bands[band];
    PlaceSliders();
}

void TfrmMediaControls::BuildPresetMenu()
{
    Presets1->clear();
    std::vector<std::string> files;
    ScanDirectory(PresetFolder(), "*.keqp", false, files);
    int tag = 0;
    for (const std::string& file : files) {
        // A "&" in a file name is a letter, not an access key.
        QString caption = QFileInfo(QString::fromStdString(file)).completeBaseName();
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* item = Presets1->addAction(caption);
        item->setData(tag++);
        // The file found, not one rebuilt from the caption, which may differ
        // from the name in blanks.
        QObject::connect(item, &QAction::triggered, Presets1, [this, file] {
            if (TKSystem* system = Sys(); system && system->LoadEqualizerPreset(Utf8ToUtf16(file)))
                ShowSystemBands();
        });
    }
}

void TfrmMediaControls::DefaultPreset1Click()
{
    if (TKSystem* system = Sys()) {
        system->ResetEqualizer();
        ShowSystemBands();
    }
}

QString TfrmMediaControls::ChoosePresetFile(bool save)
{
    if (Hooks.ChoosePresetFile)
        return Hooks.ChoosePresetFile(save);
    QFileDialog dialog(this);
    dialog.setWindowTitle(save ? QStringLiteral("Save Kolvarin Equalizer preset...")
                               : QStringLiteral("Load Kolvarin Equalizer preset..."));
    dialog.setNameFilter(kPresetFilter);
    dialog.setDefaultSuffix(QStringLiteral("keqp"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void TfrmMediaControls::LoadPreset1Click()
{
    const QString file = ChoosePresetFile(false);
    TKSystem* system = Sys();
    if (file.isEmpty() || !system)
        return;
    if (system->LoadEqualizerPreset(file.toStdU16String()))
        ShowSystemBands();
    else
        ShowMessage(QStringLiteral("The equalizer preset \"%1\" cannot be read.").arg(file));
}

void TfrmMediaControls::SavePreset1Click()
{
    const QString file = ChoosePresetFile(true);
    TKSystem* system = Sys();
    if (!file.isEmpty() && system && !system->SaveEqualizerPreset(file.toStdU16String()))
        ShowMessage(QStringLiteral("The equalizer preset \"%1\" cannot be written.").arg(file));
}

void TfrmMediaControls::ShowMessage(const QString& text)
{
    if (Hooks.ShowMessage)
        Hooks.ShowMessage(text);
    else
        QMessageBox::warning(this, QStringLiteral("Kolvarin"), text);
}

void TfrmMediaControls::FormActivate()
{
    TKGUI& skin = Skin();
    if (!skin.Loaded || AppKilled)
        return;
    ShowCaptionsActive(skin, this);
    // The group comes to the top together; raising never activates.
    for (QWidget* window :
         {static_cast<QWidget*>(frmMain), static_cast<QWidget*>(frmPlaylist), static_cast<QWidget*>(this)})
        if (window && window->isVisible())
            window->raise();
}

void TfrmMediaControls::showEvent(QShowEvent* event)
{
    TKSkinnedMediaControls::showEvent(event);
    // A minimised window coming back is no change of the setting.
    if (!event->spontaneous())
        FormShowHide(true);
}

void TfrmMediaControls::hideEvent(QHideEvent* event)
{
    TKSkinnedMediaControls::hideEvent(event);
    if (!event->spontaneous())
        FormShowHide(false);
}

void TfrmMediaControls::FormShowHide(bool visible)
{
    if (!Running())
        return;
    if (Config)
        Config->MediaConVis = visible;
    if (frmMain)
        frmMain->Mediacontrols1->setChecked(visible);
    if (TKSystem* system = Sys(); system && !visible)
        system->SwapMemory();
}

} // namespace kolvarin
