#include "dialogs/configpages.h"

#include <algorithm>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>

#include "core/system/kglobals.h"
#include "core/system/kpaths.h"
#include "core/text/klanguage.h"
#include "core/text/ktemplates.h"
#include "core/text/kwideformat.h"
#include "dialogs/configform.h"
#include "dialogs/templateeditor.h"
#include "playback/ksystem.h"

namespace kolvarin {

namespace {

using A = TConfigArea;

#define FIELD(member)                                                                                                  \
    [](TKConfig & c) -> auto& { return c.member; }
#define GET(expr) [](const TKConfig& c) -> int { return (expr); }
#define SET(stmt) [](TKConfig& c, int v) { stmt; }
#define GET64(expr) [](const TKConfig& c) -> int64_t { return (expr); }
#define SET64(stmt) [](TKConfig& c, int64_t v) { stmt; }

// The pages whose controls are plain bindings; each builds its groups in
// its constructor.
class TSimplePage : public TConfigPageWidget {
public:
    using TConfigPageWidget::AddCheck;
    using TConfigPageWidget::AddChoice;
    using TConfigPageWidget::AddCombo;
    using TConfigPageWidget::AddDecimal;
    using TConfigPageWidget::AddGroup;
    using TConfigPageWidget::AddNumber;
    using TConfigPageWidget::AddRow;
    using TConfigPageWidget::AddSpin;
    using TConfigPageWidget::AddText;
    using TConfigPageWidget::AddTextCombo;
    using TConfigPageWidget::AddTrack;
    using TConfigPageWidget::FinishColumns;
    using TConfigPageWidget::Mark;
    using TConfigPageWidget::NameLabel;
    using TConfigPageWidget::NameSuffix;
    using TConfigPageWidget::TConfigPageWidget;
    using TConfigPageWidget::Text;
    TfrmConfig* Form = nullptr;
};

// Keeps a control enabled exactly while a check box is ticked.
void Follow(QCheckBox* box, std::vector<QWidget*> controls)
{
    auto update = [box, controls = std::move(controls)] {
        for (QWidget* control : controls)
            control->setEnabled(box->isChecked());
    };
    QObject::connect(box, &QCheckBox::toggled, box, update);
    update();
}

void BuildGeneral(TSimplePage& p)
{
    QGroupBox* g = p.AddGroup("rgG_ShowKolvarin", 151);
    p.AddChoice(g, "rgG_ShowKolvarin", {152, 153, 154}, A::TrayAndScrollLabel,
                GET(std::clamp<int>(c.ShowKolvarinIn, 0, 2)), SET(c.ShowKolvarinIn = static_cast<int16_t>(v)));
    g = p.AddGroup("rgScolllabel", 157);
    p.AddChoice(g, "rgScolllabel", {158, 159, 160}, A::TrayAndScrollLabel, GET(std::clamp<int>(c.SLMoveProg, 0, 2)),
                SET(c.SLMoveProg = static_cast<int16_t>(v)));
    g = p.AddGroup("gbTJ", 155);
    p.NameLabel(p.AddNumber(g, "edtTJCount", p.Text(156), {}, A::TimeJump, 1, 3600000, GET64(c.JumpInterval),
                            SET64(c.JumpInterval = static_cast<int32_t>(v))),
                "lblTJCount");
    g = p.AddGroup("gbLiveUpdate", 161, 1);
    p.AddCheck(g, "cbLUAutoDownloadIfKolvStars", 162, A::LiveUpdate, FIELD(AutoLiveUpdate));
    g = p.AddGroup("gbGOther", 163, 1);
    p.AddCheck(g, "cbRememberLastPlayedIndex", 164, A::LastPlayed, FIELD(LastPlayed.Remember));
    p.AddCheck(g, "cbHKeyMediakeys", 169, A::MediaKeys, FIELD(EnableMediaKeys));
    p.AddCheck(g, "cbShowSplashScreen", 174, A::Splash, FIELD(SplashScreen));
    g = p.AddGroup("gbGNews", 167, 1);
    QCheckBox* news = p.AddCheck(g, "cbGNewsShowOnStartup", 168, A::NewsOnStartup, FIELD(NewsWindowOnStartUp));
    Follow(news, {p.AddCheck(g, "cbGNewsShowOnlyFreshNews", 170, A::FreshNewsOnly, FIELD(NewsWindowShowNewOnly))});
    g = p.AddGroup("gbLogging", 171, 1);
    p.AddCheck(g, "cbWriteLogFile", 172, A::Logging, FIELD(Logging.EnableTextFile));
    p.AddCheck(g, "cbEnableHistory", 173, A::Logging, FIELD(Logging.EnableHistory));
}

void BuildPlaylist(TSimplePage& p)
{
    QGroupBox* g = p.AddGroup("gbOnFileAdd", 183);
    p.AddCheck(g, "cbOFAReadID3Tag", 184, A::TagReading, FIELD(OFAReadID3Tag));
    p.AddCheck(g, "cbOFAReadTime", 185, A::TimeReading, FIELD(OFAReadTime));
    p.AddCheck(g, "cbOFACheckIsValidFile", 186, A::ValidFileCheck, FIELD(OFACheckIsValidFile));
    p.AddCheck(g, "cbOFAReadPlaylistFiles", 201, A::PlaylistFiles, FIELD(OFAReadPlaylistFiles));
    g = p.AddGroup("gbOnFilePlaying", 187);
    p.AddCheck(g, "cbOFPReadID3Tag", 188, A::TagReading, FIELD(OFPReadID3Tag));
    p.AddCheck(g, "cbOFPReadTime", 189, A::TimeReading, FIELD(OFPReadTime));
    g = p.AddGroup("gbSearch", 194);
    p.AddCheck(g, "cbSearchHideOnPlay", 195, A::SearchWindow, FIELD(SearchHideOnPlay));
    g = p.AddGroup("gbPLListbox", 190, 1);
    p.AddCheck(g, "cbPLDrawNumbers", 191, A::PlaylistDrawing, FIELD(PLDrawNumbers));
    p.AddCheck(g, "cbPLDrawTime", 192, A::PlaylistDrawing, FIELD(PLDrawTime));
    p.AddCheck(g, "cbPLDrawFileTypeIcons", 193, A::PlaylistDrawing, FIELD(PLDrawFileTypeIcons));
    p.AddCheck(g, "cbPLEnableDirectMove", 206, A::DirectMove, FIELD(PLEnableDirectMove));
    // The setting counts 0 none, 1 left, 2 right, 3 centre; the choice lists centre before right.
    static constexpr int alignToIndex[4] = {0, 1, 3, 2};
    g = p.AddGroup("rgPLSB", 196, 1);
    p.AddChoice(g, "rgPLSB", {197, 198, 199, 200}, A::StatusBar,
                GET(c.SBTextAlign < 4 ? alignToIndex[c.SBTextAlign] : 0),
                SET(c.SBTextAlign = static_cast<uint8_t>(alignToIndex[v & 3])));
    g = p.AddGroup("rgPLOnDragDrop", 202, 1);
    p.AddChoice(g, "rgPLOnDragDrop", {203, 204, 205}, A::DragAndDrop,
                GET(c.PLOnDragDropMode <= 2 ? c.PLOnDragDropMode : 1),
                SET(c.PLOnDragDropMode = static_cast<uint8_t>(v)));
}

void BuildAudio(TSimplePage& p)
{
    QGroupBox* g = p.AddGroup("gbFader", 215);
    QCheckBox* fader = p.AddCheck(g, "cbFader", 216, A::CrossFader, FIELD(Fader.Enabled));
    QLineEdit* count = p.AddNumber(g, "edFaderCount", p.Text(215), p.Text(217), A::CrossFader, 0, 32767,
                                   GET64(c.Fader.Count), SET64(c.Fader.Count = static_cast<int16_t>(v)));
    Follow(fader, {count, p.NameSuffix(count, "lblFaderCount")});
    g = p.AddGroup("gbVFader", 218);
    QCheckBox* volumeFader = p.AddCheck(g, "cbVFader", 219, A::VolumeFader, FIELD(Fader.VolumeEnabled));
    count = p.AddNumber(g, "edVFaderCount", p.Text(218), p.Text(220), A::VolumeFader, 0, 32767,
                        GET64(c.Fader.VolumeCount), SET64(c.Fader.VolumeCount = static_cast<int16_t>(v)));
    Follow(volumeFader, {count, p.NameSuffix(count, "lblVFaderCount")});
    g = p.AddGroup("gbAudioPlaybackPrio", 221, 1);
    auto* label = new QLabel(g);
    label->setObjectName(QStringLiteral("lblAudioBufferPrio"));
    QSlider* priority = p.AddTrack(g, "tbAudioBufferPrio", {}, A::AudioPriority, 0, 4, 1,
                                   GET(std::clamp<int>(c.AudioPlaybackPriority.Priority, 0, 4)),
                                   SET(c.AudioPlaybackPriority.Priority = static_cast<uint8_t>(v)));
    p.AddRow(g, {}, label);
    auto showLength = [label, priority] {
        static constexpr int lengths[5] = {5, 100, 250, 1000, 5000};
        label->setText(
            QString::fromStdU16String(WideFormat(Language.Texts[222], lengths[std::clamp(priority->value(), 0, 4)])));
    };
    QObject::connect(priority, &QSlider::valueChanged, label, showLength);
    showLength();
    p.AddCheck(g, "cbAudioUseMulticoreSupport", 223, A::AudioPriority, FIELD(AudioPlaybackPriority.UseMulticore))
        ->setEnabled(GetCPUCores() > 1);
}

void BuildAudioOutput(TSimplePage& p)
{
    QStringList devices;
    for (const std::string& name : AudioDevices)
        devices << QString::fromUtf8(name);
    if (devices.isEmpty())
        devices << QStringLiteral("Default output");
    const int count = static_cast<int>(devices.size());
    QGroupBox* g = p.AddGroup("gbBassoutputdevice", 224);
    p.AddCombo(
        g, "cbBassOutputDevice", {}, devices, A::OutputDevice,
        [count](const TKConfig& c) { return c.BassDevice >= 1 && c.BassDevice <= count ? c.BassDevice - 1 : 0; },
        SET(c.BassDevice = static_cast<int16_t>(v + 1)));
    g = p.AddGroup("gbAudioSpeakers", 225);
    static constexpr uint8_t counts[5] = {2, 4, 6, 7, 8};
    p.AddCombo(g, "cbAudioSpeakers", {},
               {QStringLiteral("2/2.1 Speakers"), QStringLiteral("4/4.1 Speakers"), QStringLiteral("5.1 Speakers"),
                QStringLiteral("6.1 Speakers"), QStringLiteral("7.1 Speakers")},
               A::Speakers,
               GET(c.Speakers < 4   ? 0
                   : c.Speakers < 6 ? 1
                   : c.Speakers < 7 ? 2
                   : c.Speakers < 8 ? 3
                                    : 4),
               SET(c.Speakers = counts[std::clamp(v, 0, 4)]));
}

void BuildLivestreaming(TSimplePage& p)
{
    QGroupBox* g = p.AddGroup("gbNetRadioConnRetries", 226);
    p.NameLabel(p.AddNumber(g, "edURLMaxDelay", p.Text(227), {}, A::LiveStreams, 0, 100, GET64(c.NumTrysURLStream),
                            SET64(c.NumTrysURLStream = static_cast<int32_t>(v))),
                "lblMaxEntrys");
    p.NameLabel(p.AddNumber(g, "edURLTimeRetry", p.Text(228), {}, A::LiveStreams, 0, 600000, GET64(c.TryURLTime),
                            SET64(c.TryURLTime = static_cast<int32_t>(v))),
                "lblTimeBetweenRetry");
    g = p.AddGroup("gbNetRadioPreBuffer", 234);
    // A per cent above 100 is taken as 100.
    p.NameLabel(p.AddNumber(g, "edNetPreBuffer", p.Text(235), QStringLiteral("%"), A::LiveStreams, 0, 32767,
                            GET64(std::clamp<int>(c.NetPrebuffer, 0, 100)),
                            SET64(c.NetPrebuffer = static_cast<int8_t>(std::min<int64_t>(v, 100)))),
                "lblNetPreBuffering");
    g = p.AddGroup("gbLSAS", 229, 1);
    p.AddCheck(g, "cbLSASAutoChangeTitle", 230, A::LiveStreams, FIELD(LSAS.AutoChangeTitle));
    p.AddCheck(g, "cbLSASAutoRecord", 231, A::LiveStreams, FIELD(LSASAutoRecord));
    p.NameLabel(p.AddText(g, "edtLSASFormatmask", p.Text(232), A::LiveStreams, 255, FIELD(LSAS.FormatMask)),
                "lblLSASFormatMask");
    QLineEdit* path = p.AddText(g, "edtLSASOutputPath", p.Text(233), A::LiveStreams, 0, FIELD(LSAS.OutputPath));
    p.NameLabel(path, "lblLSASOutputPath");
    // "..." stands beside the path it fills.
    auto* choose = new QPushButton(QStringLiteral("..."), g);
    choose->setObjectName(QStringLiteral("btnLSASChooseOutputPath"));
    choose->setStyleSheet(QStringLiteral("min-width: 0px; padding: 3px 8px;"));
    auto* form = static_cast<QFormLayout*>(g->layout());
    int row = 0;
    QFormLayout::ItemRole role{};
    form->getWidgetPosition(path, &row, &role);
    form->removeWidget(path);
    auto* field = new QWidget(g);
    auto* line = new QHBoxLayout(field);
    line->setContentsMargins(0, 0, 0, 0);
    line->addWidget(path, 1);
    line->addWidget(choose);
    form->setWidget(row, QFormLayout::FieldRole, field);
    QObject::connect(choose, &QPushButton::clicked, &p, [&p, path] {
        const QString start = path->text().isEmpty() ? QString::fromStdString(UserPath + "data/output/") : path->text();
        const QString folder = QFileDialog::getExistingDirectory(&p, QStringLiteral("Choose directory"), start);
        if (!folder.isEmpty())
            path->setText(QDir::fromNativeSeparators(folder) + QLatin1Char('/'));
    });
}

void BuildSystem(TSimplePage& p)
{
    QGroupBox* g = p.AddGroup("rgPlaymode", 236);
    p.AddChoice(g, "rgPlaymode", {237, 238, 239, 240, 241}, A::PlayMode,
                GET(c.PlayMode.Enabled && c.PlayMode.Mode > 0 && c.PlayMode.Mode <= 4 ? c.PlayMode.Mode : 0),
                SET(if (v > 0) c.PlayMode.Mode = v; c.PlayMode.Enabled = v > 0));
    g = p.AddGroup("gbSystemMemoryMgmt", 165);
    p.AddCheck(g, "cbSwapMemoryMngt", 166, A::MemoryManagement, FIELD(SwapMemoryMngt));
    g = p.AddGroup("gbAnalyzer", 242, 1);
    QCheckBox* show = p.AddCheck(g, "cbAnalyzerShowSpectrum", 246, A::Analyzer, FIELD(Spectrum.Show));
    QButtonGroup* type = p.AddChoice(g, "rgAnalyzerType", {243, 244}, A::Analyzer, GET(c.Spectrum.Type == 0 ? 0 : 1),
                                     SET(c.Spectrum.Type = static_cast<uint8_t>(v)));
    type->button(0)->setObjectName(QStringLiteral("rbAnalyzerLines"));
    type->button(1)->setObjectName(QStringLiteral("rbAnalyzerBars"));
    QCheckBox* peaks = p.AddCheck(g, "cbAnalyzerShowPeaks", 245, A::Analyzer, FIELD(Spectrum.ShowPeaks));
    QCheckBox* blur = p.AddCheck(g, "cbAnalyzerMotionBlur", 247, A::Analyzer, FIELD(Spectrum.Blur));
    QSlider* peakFall = p.AddTrack(g, "tbPeaksFallOff", p.Text(248), A::Analyzer, 0, 3, 1,
                                   GET(std::clamp<int>(c.Spectrum.PeaksFallOff, 0, 3)),
                                   SET(c.Spectrum.PeaksFallOff = static_cast<int8_t>(v)));
    QSlider* lineFall = p.AddTrack(g, "tbLinesFallOff", p.Text(249), A::Analyzer, 0, 10, 1,
                                   GET(std::clamp<int>(c.Spectrum.LinesFallOff, 0, 10)),
                                   SET(c.Spectrum.LinesFallOff = static_cast<int8_t>(v)));
    p.NameLabel(peakFall, "lblPeaksFallsOff");
    p.NameLabel(lineFall, "lblLinesFallsOff");
    Follow(show, {peaks, blur, peakFall, lineFall, type->button(0), type->button(1)});
}

void BuildMouse(TSimplePage& p)
{
    QGroupBox* g = p.AddGroup("gbMouseWheelControlOnFocus", 285);
    p.AddCombo(g, "cbMouseWheelControlOnFocusSelect", {}, {p.Text(286), p.Text(287), p.Text(288)}, A::WheelControl,
               GET(c.MouseWheelControlOnFocus <= 2 ? c.MouseWheelControlOnFocus : 0),
               SET(c.MouseWheelControlOnFocus = static_cast<uint8_t>(v)));
}

void BuildVideo(TSimplePage& p)
{
    QGroupBox* g = p.AddGroup("gbOnFilePlay", 250);
    p.AddCheck(g, "cbAutoFS", 251, A::VideoBehaviour, FIELD(AutoFullscreen));
    p.AddCheck(g, "cbAutoVideoResize", 252, A::VideoBehaviour, FIELD(AutoVideoResize));
    p.AddCheck(g, "cbCenterVideo", 253, A::VideoBehaviour, FIELD(CenterVideo));
    g = p.AddGroup("gbOnPlaying", 254);
    p.AddCheck(g, "cbScreensaverDisabled", 255, A::VideoBehaviour, FIELD(NoScreensaver));
    p.AddCheck(g, "cbHideCursor", 256, A::VideoBehaviour, FIELD(HideCursor));
    g = p.AddGroup("gbRatio", 265);
    p.AddDecimal(g, "edtUserDefRatioX", QStringLiteral("Width:"), A::VideoBehaviour, 0.01, 100, FIELD(Ratio.User.X));
    p.AddDecimal(g, "edtUserDefRatioY", QStringLiteral("Height:"), A::VideoBehaviour, 0.01, 100, FIELD(Ratio.User.Y));

    g = p.AddGroup("gbColorControls", 257, 1);
    struct Bar {
        const char* Name;
        const char* Label;
        int Caption, Min, Max, Tick, Default;
        int32_t& (*Field)(TKConfig&);
    };
    static const Bar bars[] = {
        {"tbVideoBrightness", "lblColorControlsBrightness", 259, 0, 10000, 1000, 750,
         FIELD(VideoColorControls.Brightness)},
        {"tbVideoContrast", "lblColorControlsContrast", 260, 0, 20000, 10000, 10000,
         FIELD(VideoColorControls.Contrast)},
        {"tbVideoHUE", "lblColorControlsHue", 261, -180, 180, 36, 0, FIELD(VideoColorControls.Hue)},
        {"tbVideoSaturation", "lblColorControlsSaturation", 262, 0, 20000, 10000, 10000,
         FIELD(VideoColorControls.Saturation)},
        {"tbVideoSharpness", "lblColorControlsSharpness", 263, 0, 10, 1, 5, FIELD(VideoColorControls.Sharpness)},
        {"tbVideoGamma", "lblColorControlsGamma", 264, 1, 500, 50, 1, FIELD(VideoColorControls.Gamma)},
    };
    std::vector<std::pair<QSlider*, int>> sliders;
    for (const Bar& bar : bars) {
        auto field = bar.Field;
        sliders.emplace_back(p.AddTrack(
                                 g, bar.Name, p.Text(bar.Caption), A::VideoColour, bar.Min, bar.Max, bar.Tick,
                                 [field](const TKConfig& c) { return field(const_cast<TKConfig&>(c)); },
                                 [field](TKConfig& c, int v) { field(c) = v; }),
                             bar.Default);
        p.NameLabel(sliders.back().first, bar.Label);
    }
    // Brightness stands upright, brightest at the top: a vertical slider
    // has its maximum there, so its value stays the setting.
    QSlider* brightness = sliders.front().first;
    brightness->setOrientation(Qt::Vertical);
    brightness->setTickPosition(QSlider::TicksRight);
    brightness->setMinimumHeight(130);
    auto* reset = new QPushButton(p.Text(258), g);
    reset->setObjectName(QStringLiteral("btnSetColorControlsDefault"));
    p.AddRow(g, {}, reset);
    QObject::connect(reset, &QPushButton::clicked, &p, [sliders] {
        for (const auto& [slider, value] : sliders)
            slider->setValue(value);
    });
}

void BuildVideoDefault(TSimplePage& p)
{
    static const QStringList languages = {
        QStringLiteral("-"),        QStringLiteral("Albanian"), QStringLiteral("Chinese"), QStringLiteral("Czech"),
        QStringLiteral("English"),  QStringLiteral("French"),   QStringLiteral("German"),  QStringLiteral("Italian"),
        QStringLiteral("Japanese"), QStringLiteral("Korean"),   QStringLiteral("Polish"),  QStringLiteral("Spanish")};
    QGroupBox* g = p.AddGroup("gbDefaultLanguage", 280);
    p.AddTextCombo(g, "cbDefaultLanguage", {}, languages, A::DefaultAudioLanguage, FIELD(VidDefault.Language));
    g = p.AddGroup("gbDefaultSubtitle", 281);
    p.AddTextCombo(g, "cbDefaultSubtitle", {}, languages, A::DefaultSubtitle, FIELD(VidDefault.Subtitle));
    p.AddCheck(g, "cbVideoDefaultSubtitleDefaultFailed", 282, A::DefaultSubtitle, FIELD(VidDefault.SubtitleFailed));
}

void BuildVideoFullscreen(TSimplePage& p)
{
    QGroupBox* g = p.AddGroup("gbVideoFSControlOptions", 283);
    p.AddCheck(g, "gbVideoFSControl_Enable", 284, A::FullscreenControl, FIELD(VideoFSControlActive));
    g = p.AddGroup(nullptr, -1);
    g->setTitle(QStringLiteral("Monitor"));
    QStringList items = {QStringLiteral("Autodetect")};
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (int i = 0; i < screens.size(); ++i) {
        const QSize size = screens[i]->size();
        const int text = screens[i] == QGuiApplication::primaryScreen() ? 45 : 44;
        items << QString::fromStdU16String(WideFormat(Language.Texts[text], i, size.width(), size.height()));
    }
    const int monitors = static_cast<int>(screens.size());
    p.AddCombo(
        g, "cbVideoFSForceDisplayOutput", {}, items, A::ForcedMonitor,
        [monitors](const TKConfig& c) {
            return c.VideoFSForceDisplay >= 0 && c.VideoFSForceDisplay < monitors ? c.VideoFSForceDisplay + 1 : 0;
        },
        SET(c.VideoFSForceDisplay = static_cast<int8_t>(v == 0 ? -1 : v - 1)));
}

void BuildNotifications(TSimplePage& p)
{
    QGroupBox* g = p.AddGroup("gbNotifyOnMediaPlaying", 460);
    // Each template's "Configure" edits and saves it at once; it marks nothing.
    auto configure = [&p, g](const char* name, int caption, TKTemplateLoader* tmpl, const char* file) {
        auto* button = new QPushButton(p.Text(caption), g);
        button->setObjectName(QString::fromLatin1(name));
        QObject::connect(button, &QPushButton::clicked, &p, [&p, tmpl, file] {
            const std::string error =
                EditTemplate(*tmpl, UserPath + "data/templates/" + file, &p, p.Form->Hooks.RunTemplateEditor);
            if (!error.empty())
                p.Form->Message(
                    QStringLiteral("The template could not be saved: %1").arg(QString::fromStdString(error)));
        });
        p.AddRow(g, {}, button);
        return button;
    };
    QCheckBox* balloon = p.AddCheck(g, "cbNotifyOMP_ShowMediaInfoBalloon", 462, A::Notifications,
                                    FIELD(Notifications.ShowMediaInfoBalloon));
    if (BalloonTemplate)
        Follow(balloon,
               {configure("btnNotifyOMP_ConfigMediaInfoBalloon", 461, BalloonTemplate, "mediainfo_balloon.txt")});
    QCheckBox* osd =
        p.AddCheck(g, "cbNotifyOMP_ShowMediaInfoOSD", 464, A::Notifications, FIELD(Notifications.ShowMediaInfoOSD));
    if (OSDTemplate)
        Follow(osd, {configure("btnNotifyOMP_ConfigMediaInfoOSD", 463, OSDTemplate, "mediainfo_osd.txt")});
    g = p.AddGroup("gbNotifyOnMediaProblems", 465);
    p.AddCheck(g, "cbOMProblems_ShowMsgBox", 467, A::Notifications, FIELD(Notifications.ShowMsgBoxOnProblems));
    p.AddCheck(g, "cbOMProblems_ShowBalloonInfo", 468, A::Notifications, FIELD(Notifications.ShowBalloonOnProblems));
    p.NameLabel(p.AddCombo(g, "cbOMProblemsAction", p.Text(466), {p.Text(469), p.Text(470)}, A::Notifications,
                           GET(c.OMProblemsAction == 1 ? 1 : 0), SET(c.OMProblemsAction = static_cast<uint8_t>(v))),
                "lblOMProblemsAction");
}

#undef FIELD
#undef GET
#undef SET
#undef GET64
#undef SET64

} // namespace

TConfigPageWidget* CreateSimpleConfigPage(TConfigPage page, TConfigPageWidget::MarkFunction mark, QWidget* parent,
                                          TfrmConfig& form)
{
    void (*build)(TSimplePage&) = nullptr;
    switch (page) {
    case TConfigPage::General: build = BuildGeneral; break;
    case TConfigPage::Playlist: build = BuildPlaylist; break;
    case TConfigPage::Audio: build = BuildAudio; break;
    case TConfigPage::AudioOutput: build = BuildAudioOutput; break;
    case TConfigPage::AudioLivestreaming: build = BuildLivestreaming; break;
    case TConfigPage::System: build = BuildSystem; break;
    case TConfigPage::Mouse: build = BuildMouse; break;
    case TConfigPage::Video: build = BuildVideo; break;
    case TConfigPage::VideoDefault: build = BuildVideoDefault; break;
    case TConfigPage::VideoFullscreen: build = BuildVideoFullscreen; break;
    case TConfigPage::Notifications: build = BuildNotifications; break;
    default: return nullptr;
    }
    auto* widget = new TSimplePage(page, std::move(mark), parent);
    widget->Form = &form;
    build(*widget);
    widget->FinishColumns();
    widget->Load();
    return widget;
}

} // namespace kolvarin
