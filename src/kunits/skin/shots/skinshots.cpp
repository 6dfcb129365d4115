// Shows every skinned window with the built-in skin (or the skin named on
// the command line) in a typical playing state and saves a picture of each,
// cut to the window's shape. Usage: kolvarin_skinshots OUTPUT_FOLDER [SKIN]

#include <cmath>
#include <cstdio>
#include <string>

#include <QApplication>
#include <QBitmap>
#include <QPainter>
#include <QPixmap>

#include "core/desktop/kbitmaps.h"
#include "core/system/kpaths.h"
#include "gdi/canvas.h"
#include "skin/kskinapply.h"
#include "skin/kskinelements.h"
#include "skin/kskinload.h"
#include "skin/kskinnedmain.h"
#include "skin/kskinnedmediacontrols.h"
#include "skin/kskinnedplaylist.h"
#include "skin/kskinnedvideo.h"
#include "skin/spectrum_vis.h"
#include "zip/ziphandler.h"

using namespace kolvarin;

namespace {

// The window as the user sees it: its pixels inside its shape, clear outside.
QImage Shot(QWidget& window)
{
    QApplication::processEvents();
    QImage image = window.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    if (!window.mask().isEmpty()) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (!window.mask().contains(QPoint(x, y)))
                    image.setPixel(x, y, qRgba(0, 0, 0, 0));
    }
    return image;
}

void Save(const QImage& image, const std::string& folder, const char* name)
{
    const std::string path = folder + "/" + name + ".png";
    if (!image.save(QString::fromStdString(path)))
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
}

void SetCheckbox(TKGUI& skin, TKImage& control, TKSCheckbox& box, bool on)
{
    box.State = on ? 3 : 1;
    control.Tag = on ? 1 : 0;
    SkinSetCheckboxState(skin, control, box);
}

void PlayingMain(TKGUI& skin, TKSkinnedMain& w, bool pressed)
{
    TKSMain& m = skin.Main;
    SkinSetCaptionActive(skin, *w.imgCaptionbar, m.CaptionBar, true);
    SkinPaintTime(skin, *w.imgTime, m.Time, {0, 0, 0, 3, 2, 5}, false);
    SkinPlaceImage(skin, *w.imgStatus, m.StatusIconPlay);
    m.Scrolllabel.Text = u"Kolvarin - Nightfall Avenue - Glass Harbour (4:12)";
    SkinScrollLabelSetText(skin, m.Scrolllabel);
    SkinScrollLabelPaint(skin, *w.imgScrolllabel, *w.imgScrollabelBackground, m.ScrolllabelBackground, m.Scrolllabel);
    m.ProgressSeekBar.Max = 252;
    m.ProgressSeekBar.Value = 85;
    SkinPlaceSeekBarThumb(skin, *w.imgProgressSeekbarBackground, *w.imgProgressSeekbarBar, m.ProgressSeekBar);
    m.Volume.Max = 100;
    m.Volume.Value = 72;
    SkinPaintBar(skin, *w.imgVolume, m.Volume);
    m.Balance.Max = 200;
    m.Balance.Value = 100;
    SkinPlaceSeekBarThumb(skin, *w.imgBalanceBackground, *w.imgBalanceBar, m.Balance);
    // A few frames of a falling spectrum, so the analyzer shows bars, peaks
    // and the blur's trail.
    static TSpectrum spectrum(m.Analyzer.Size.Width, m.Analyzer.Size.Height);
    ConfigureSpectrum(spectrum, m.Analyzer, 1, 1, 3, true, true);
    w.Spectrum = &spectrum;
    for (int frame = 0; frame < 6; ++frame) {
        w.SpectrumData = [frame](std::span<float> values) {
            for (size_t i = 0; i < values.size(); ++i)
                values[i] = float(0.045 * std::exp(-0.18 * double(i)) * (1.2 + std::sin(1.7 * double(i) + frame)) +
                                  (frame < 3 ? 0.01 : 0.0));
            return true;
        };
        w.PaintAnalyzer();
    }
    SetCheckbox(skin, *w.imgPlaymodeCheckbox, m.PlaymodeCheckbox, true);
    SetCheckbox(skin, *w.imgPlaylistCheckbox, m.PlaylistCheckbox, true);
    SetCheckbox(skin, *w.imgEqualizerCheckbox, m.EqualizerCheckbox, true);
    if (pressed) {
        SkinButtonMouseEnterLeave(skin, *w.imgPauseButton, m.PauseButton, true);
        SkinButtonMouseDown(skin, *w.imgPlayButton, m.PlayButton, TMouseButton::mbLeft);
        SkinButtonMouseEnterLeave(skin, *w.imgCloseButton, m.CloseButton, true);
        SkinCheckboxMouseDown(skin, *w.imgMuteCheckbox, m.MuteCheckbox);
        SkinSeekBarMouseDown(skin, *w.imgBalanceBar, m.Balance, TMouseButton::mbLeft, 6, 6);
    }
}

// Rows drawn the way the playlist window lays them out, so the picture
// shows the skin's list colours and fonts.
void DemoPlaylist(TKGUI& skin, TKSkinnedPlaylist& w)
{
    TKSPlaylist& p = skin.Playlist;
    SkinSetCaptionActive(skin, *w.imgCaptionBar, p.CaptionBar, false);
    const char16_t* rows[][2] = {{u"Nightfall Avenue - Glass Harbour", u"4:12"},
                                 {u"Nightfall Avenue - Paper Satellites", u"3:47"},
                                 {u"Oda Lind - Weather Report", u"5:03"},
                                 {u"Oda Lind - Slow Lights", u"4:28"},
                                 {u"The Meridian Set - Overture", u"2:15"},
                                 {u"The Meridian Set - Lantern", u"6:41"},
                                 {u"Radio Kettle (stream)", u"--:--"},
                                 {u"Field recording 03", u"12:09"},
                                 {u"Ines Varga - Tidewater", u"3:58"},
                                 {u"Ines Varga - North of Here", u"4:44"},
                                 {u"Concert film (video)", u"48:20"}};
    const int icons[] = {0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 3};
    w.imgPlaylist->OnPaint = [&p, rows, icons](TKPaintbox& box) {
        PaintBackgroundUnder(box, p.ResizeForm.Background);
        gdi::Canvas c = box.Canvas();
        const TKSPlaylistEditor& e = p.PlaylistEditor;
        c.font.name = e.FontName;
        c.font.size = e.FontSize;
        const int line = c.textHeight(u"Kolvarin");
        for (int i = 0; i < 11 && (i + 1) * line <= box.height(); ++i) {
            const int y = i * line;
            const bool selected = i == 3;
            c.brush = {SkinBrushStyle(selected ? e.SelectedBgStyle : e.NormalBgStyle),
                       selected ? e.SelectedBgColor : e.NormalBgColor};
            c.pen = {SkinPenStyle(selected ? e.SelectedPenStyle : e.NormalPenStyle),
                     selected ? e.SelectedPenColor : e.NormalPenColor};
            c.rectangle({0, y, box.width(), y + line});
            c.font.color = i == 1 ? e.PlayedTextColor : selected ? e.SelectedTextColor : e.NormalTextColor;
            c.brush.style = gdi::BrushStyle::Clear;
            c.stretchDraw({0, y, line, y + line}, p.FileTypeIcons.Bitmaps[icons[i]]);
            std::u16string number;
            for (char ch : std::to_string(i + 1))
                number += char16_t(ch);
            const int digit = c.textWidth(u"9");
            const int numberX = line + 2 + (i + 1 < 10 ? digit : 0);
            c.textOut(numberX, y, number + u".");
            c.textOut(line + 4 + 3 * digit, y, rows[i][0]);
            c.textOut(box.width() - c.textWidth(rows[i][1]) - 2, y, rows[i][1]);
        }
    };
    w.imgStatusbar->OnPaint = [&p](TKPaintbox& box) {
        BlitBitmap(p.Statusbar.Background, box.Surface());
        gdi::Canvas c = box.Canvas();
        c.font.name = p.Statusbar.FontName;
        c.font.size = p.Statusbar.FontSize;
        c.font.color = p.Statusbar.FontColor;
        c.brush.style = gdi::BrushStyle::Clear;
        c.textOut(4, 1, u"Entries: 11   playing time: 1:41:53");
    };
    p.Scrollbar.Max = 40;
    p.Scrollbar.Position = 8;
    p.Scrollbar.Shown = true;
    SkinUpdatePlaylistScrollThumb(skin, *w.imgScrollBar, *w.imgPlaylist, p.Scrollbar);
}

void DemoMediaControls(TKGUI& skin, TKSkinnedMediaControls& w)
{
    TKSMediaControls& mc = skin.MediaControls;
    SkinSetCaptionActive(skin, *w.imgCaptionbar, mc.CaptionBar, false);
    mc.SpeedSeekBar.Min = 1;
    mc.SpeedSeekBar.Max = 10;
    mc.SpeedSeekBar.Value = 4;
    SkinPlaceSeekBarThumb(skin, *w.imgSpeedBackground, *w.imgSpeedBar, mc.SpeedSeekBar);
    const int bands[] = {17, 16, 14, 12, 11, 12, 14, 16, 17, 18};
    for (int i = 0; i < 10; ++i) {
        mc.Equalizer[i].Max = 24;
        mc.Equalizer[i].Value = bands[i];
        SkinPlaceSeekBarThumb(skin, *w.imgEQBackground[i], *w.imgEQBar[i], mc.Equalizer[i]);
    }
}

void DemoFullscreen(TKGUI& skin, TKSkinnedFullscreenControl& w)
{
    TKSVideoFullscreenControl& f = skin.VideoFullscreenControl;
    SkinPaintTime(skin, *w.imgTime, f.Time, {0, 1, 2, 7, 0, 4}, false);
    f.Scrolllabel.Text = u"Concert film (video) - 1:27:04";
    SkinScrollLabelSetText(skin, f.Scrolllabel);
    SkinScrollLabelPaint(skin, *w.imgScrolllabel, *w.imgScrollabelBackground, f.ScrolllabelBackground, f.Scrolllabel);
    f.ProgressSeekBar.Max = 5220;
    f.ProgressSeekBar.Value = 1624;
    SkinPlaceSeekBarThumb(skin, *w.imgProgressSeekbarBackground, *w.imgProgressSeekbarBar, f.ProgressSeekBar);
    f.VolumeSeekBar.Max = 100;
    f.VolumeSeekBar.Value = 72;
    SkinPlaceSeekBarThumb(skin, *w.imgVolumeSeekbarBackground, *w.imgVolumeSeekbarBar, f.VolumeSeekBar);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER [SKIN]\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    const std::string folder = argv[1];
    const std::string name = argc == 3 ? argv[2] : kDefaultSkinName;
    UserPath = ApplicationPath = DetectApplicationPath(DetectInstallPath());
    TKGUI& skin = GUI;
    InitGUI(skin);
    TZipHandler zip;
    if (LoadSkinByName(skin, name, name == kDefaultSkinName, zip) != kSkinLoaded) {
        std::fprintf(stderr, "skin %s: %s\n", name.c_str(), LastSkinError().c_str());
        return 1;
    }
    TKSkinnedMain main;
    TKSkinnedPlaylist playlist;
    TKSkinnedMediaControls controls;
    TKSkinnedVideo video;
    TKSkinnedFullscreenControl bar;
    const TKSkinWindows windows{&main, &playlist, &controls, &video, &bar};
    ApplySkin(skin, windows);
    ApplySkinToFullscreenControl(skin, bar);
    for (QWidget* w : {static_cast<QWidget*>(&main), static_cast<QWidget*>(&playlist), static_cast<QWidget*>(&controls),
                       static_cast<QWidget*>(&video), static_cast<QWidget*>(&bar)})
        w->show();
    PlayingMain(skin, main, false);
    DemoPlaylist(skin, playlist);
    DemoMediaControls(skin, controls);
    DemoFullscreen(skin, bar);

    const QImage mainShot = Shot(main), listShot = Shot(playlist), controlsShot = Shot(controls);
    Save(mainShot, folder, "main");
    Save(listShot, folder, "playlist");
    Save(controlsShot, folder, "mediacontrols");
    Save(Shot(video), folder, "video");
    Save(Shot(bar), folder, "fullscreencontrol");
    // The docked set as it starts: main, playlist and media controls stacked.
    QImage set(mainShot.width(), mainShot.height() + listShot.height() + controlsShot.height(), QImage::Format_ARGB32);
    set.fill(Qt::transparent);
    {
        QPainter p(&set);
        p.drawImage(0, 0, mainShot);
        p.drawImage(0, mainShot.height(), listShot);
        p.drawImage(0, mainShot.height() + listShot.height(), controlsShot);
    }
    Save(set, folder, "builtin-skin");
    PlayingMain(skin, main, true);
    Save(Shot(main), folder, "main-states");
    return 0;
}
