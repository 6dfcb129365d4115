// The layout of the five windows of the built-in skin: each window's static
// picture and every element on it, drawn and described in one place so the
// two cannot drift apart.

#include "skinatlas.h"
#include "strokefont.h"

namespace skingen {

namespace {

void WriteImage(Writer& w, const QString& name, QPoint form, QPoint skin, QSize size)
{
    w.Image(name, form, skin, size);
}

// A popup side bar: size first, as the description wants it.
void WritePopup(Writer& w, const QString& name, QPoint skin) { w.Image(name, {}, skin, QSize(23, 40)); }

// A fill bar: the track (background) and the accent track (fill).
QPoint DrawFillBar(Atlas& atlas, QSize size)
{
    return atlas.Stack(size.width(), size.height(), 2, pal::body, [](QPainter& p, int state, const QRectF& box) {
        DrawTrack(p, box, state == 0 ? pal::hair : pal::accent);
    });
}

} // namespace

// Main window, 320 x 124: title strip; display panel with status icon, time,
// scroll label, analyzer and the toggles; seek bar; transport row with the
// volume and balance bars.
void DrawMain(Atlas& atlas, Xml& x, const TimeGlyphs& time)
{
    const QSize size(320, 124);
    const QRect panel(6, 20, 308, 54);
    const QPoint form = atlas.Shaped(size.width(), size.height(), pal::body, [&](QPainter& p) {
        DrawWindowBody(p, QRectF(QPointF(0, 0), size));
        DrawPanel(p, panel);
        DrawGlyph(p, Glyph::Speaker, QRectF(176, 100, 12, 12), pal::text2);
        DrawText(p, "L", QPointF(268, 103.5), 5, pal::text2, 1.0);
        DrawText(p, "R", QPointF(309.5, 103.5), 5, pal::text2, 1.0);
    });
    const QPoint caption = DrawCaption(atlas, QSize(110, 14), "KOLVARIN");
    const QSize titleButton(18, 14);
    const QPoint config = DrawButton(atlas, titleButton, Glyph::Gear, 10, pal::body);
    const QPoint minimize = DrawButton(atlas, titleButton, Glyph::Minimize, 10, pal::body);
    const QPoint close = DrawButton(atlas, titleButton, Glyph::Close, 10, pal::body, true);

    const QSize analyzerSize(96, 26);
    const QPoint analyzer =
        atlas.Single(analyzerSize.width(), analyzerSize.height(), pal::panel, [](QPainter& p, const QRectF& box) {
            p.setPen(QColor(0x2B, 0x30, 0x3A));
            for (int y = 1; y < box.height(); y += 5)
                p.drawLine(QPointF(0, y + 0.5), QPointF(box.width(), y + 0.5));
        });
    const QSize labelSize(188, 14);
    const QPoint labelBg =
        atlas.Single(labelSize.width(), labelSize.height(), pal::panel, [](QPainter&, const QRectF&) {});

    const QSize transport(26, 24);
    const Glyph transportGlyphs[] = {Glyph::Previous, Glyph::Play, Glyph::Pause,
                                     Glyph::Stop,     Glyph::Next, Glyph::Eject};
    QPoint transportAt[6];
    for (int i = 0; i < 6; ++i)
        transportAt[i] = DrawButton(atlas, transport, transportGlyphs[i], 12, pal::body);

    const QSize toggle(16, 14);
    const Glyph toggleGlyphs[] = {Glyph::Speaker, Glyph::Repeat, Glyph::Fullscreen,
                                  Glyph::Resize,  Glyph::List,   Glyph::Equalizer};
    QPoint toggleAt[6];
    for (int i = 0; i < 6; ++i)
        toggleAt[i] = DrawCheckbox(atlas, toggle, toggleGlyphs[i], pal::panel);

    const Seek progress = DrawSeek(atlas, QSize(308, 12), QSize(12, 12), pal::body);
    const QSize volumeSize(70, 12);
    const QPoint volume = DrawFillBar(atlas, volumeSize);
    const Seek balance = DrawSeek(atlas, QSize(32, 12), QSize(12, 12), pal::body, 0.5);

    const struct {
        Glyph glyph;
        QColor color;
    } icons[] = {{Glyph::Ready, pal::text2},
                 {Glyph::Stop, pal::text2},
                 {Glyph::Play, pal::accent},
                 {Glyph::Pause, pal::accent},
                 {Glyph::Wait, pal::text2}};
    QPoint iconAt[5];
    for (int i = 0; i < 5; ++i)
        iconAt[i] = DrawStatusIcon(atlas, icons[i].glyph, icons[i].color);
    const QPoint popup = DrawPopupPicture(atlas, Glyph::Logo);

    Writer w{x};
    x.Open("Main");
    w.Form("Form", form, size);
    w.Caption("CaptionBar", QPoint(10, 3), caption, QSize(110, 14));
    w.Button("CloseButton", QPoint(296, 3), close, titleButton);
    w.Button("MinimizeButton", QPoint(276, 3), minimize, titleButton);
    x.Open("Analyzer");
    x.Pos("FormPos", QPoint(210, 26));
    x.Pos("SkinPos", analyzer);
    x.Size("Size", analyzerSize);
    x.Flag("Visible", true);
    x.Color("PeakColor", pal::text);
    x.Color("LineColor", pal::accent);
    x.Leaf("Spectrum", "NumLines=\"96\" NumBars=\"24\" Height=\"26\" Align=\"DownToUp\"");
    x.Leaf("BarWidth", "Width=\"3\"");
    x.Close("Analyzer");
    WriteImage(w, "ScrolllabelBackground", QPoint(14, 54), labelBg, labelSize);
    w.Label("Scrolllabel", QPoint(14, 54), labelSize, pal::text);
    w.Bar("ProgressBar", {}, {}, {});
    WriteSeek(w, "ProgressSeekBar", QPoint(6, 78), progress, "LeftToRight");
    const char* const transportNames[] = {"RewindButton", "PlayButton",    "PauseButton",
                                          "StopButton",   "ForwardButton", "EjectButton"};
    for (int i = 0; i < 6; ++i)
        w.Button(transportNames[i], QPoint(6 + i * 28, 95), transportAt[i], transport);
    w.Bar("Volume", QPoint(192, 100), volume, volumeSize);
    WriteHiddenSeek(w, "VolumeSeekBar");
    WriteSeek(w, "Balance", QPoint(275, 100), balance, "LeftToRight");
    const char* const toggleNames[] = {"MuteCheckbox",           "PlaymodeCheckbox",
                                       "AutofullscreenCheckbox", "AutoVideoResizeCheckbox",
                                       "PlaylistCheckbox",       "EqualizerCheckbox"};
    for (int i = 0; i < 6; ++i)
        w.Button(toggleNames[i], QPoint(210 + i * 16, 56), toggleAt[i], toggle);
    w.Button("ConfigButton", QPoint(256, 3), config, titleButton);
    WriteTime(x, QPoint(28, 26), time);
    const char* const iconNames[] = {"StatusIconReady", "StatusIconStop", "StatusIconPlay", "StatusIconPause",
                                     "StatusIconWait"};
    for (int i = 0; i < 5; ++i)
        WriteImage(w, iconNames[i], QPoint(14, 30), iconAt[i], QSize(10, 10));
    WritePopup(w, "PopupBackground", popup);
    x.Close("Main");
}

// Playlist window: the resizable frame, the list inside its panel with the
// scroll thumb at its right and the status bar at its foot.
void DrawPlaylist(Atlas& atlas, Xml& x)
{
    const QPoint frame = DrawFrameReference(atlas);
    const QPoint grip = DrawGrip(atlas);
    const QPoint caption = DrawCaption(atlas, QSize(90, 14), "PLAYLIST");
    const QSize thumb(6, 28);
    const QPoint scroll =
        atlas.Stack(thumb.width(), thumb.height(), 2, pal::panel, [](QPainter& p, int state, const QRectF& box) {
            DrawPad(p, box, state == 1 ? pal::accent : pal::disabled);
        });
    const QPoint status = atlas.Single(
        8, 16, pal::panel, [](QPainter& p, const QRectF& box) { p.fillRect(QRectF(0, 0, box.width(), 1), pal::hair); });
    const Glyph iconGlyphs[] = {Glyph::Note,       Glyph::Disc, Glyph::Globe, Glyph::Film,
                                Glyph::FilmStream, Glyph::Dvd,  Glyph::List};
    const QSize iconSize(13, 13);
    const QPoint icons =
        atlas.Stack(iconSize.width(), iconSize.height(), 7, pal::panel, [&](QPainter& p, int state, const QRectF& box) {
            DrawGlyph(p, iconGlyphs[state], box.adjusted(1, 1, -1, -1), pal::text2);
        });
    const QPoint popup = DrawPopupPicture(atlas, Glyph::List);

    Writer w{x};
    x.Open("Playlist");
    WriteResizeForm(x, frame, QSize(320, 232), QSize(320, 116));
    WriteImage(w, "Resizer", QPoint(308, 220), grip, QSize(12, 12));
    w.Caption("CaptionBar", QPoint(115, 5), caption, QSize(90, 14));
    x.Open("PlaylistEditor");
    x.Leaf("Borders", "Left=\"3\" Top=\"3\" Right=\"12\" Bottom=\"1\"");
    x.Leaf("Font", "Face=\"DejaVu Sans\" Size=\"8\"");
    x.Open("TextColors");
    x.Color("Normal", pal::text);
    x.Color("Selected", pal::white);
    x.Color("Played", pal::accent);
    x.Close("TextColors");
    x.Open("BorderStyles");
    // Styles: 0 none, 1 solid.
    x.Style("NormalBgStyle", 0, pal::panel);
    x.Style("SelectedBgStyle", 1, pal::selectedRow);
    x.Style("NormalStyle", 0, pal::panel);
    x.Style("SelectedStyle", 1, pal::accent);
    x.Close("BorderStyles");
    x.Close("PlaylistEditor");
    x.Open("Scrollbar");
    x.Pos("SkinPos", scroll);
    x.Size("Size", thumb);
    x.Border("SkinBorder", 2);
    x.Close("Scrollbar");
    WritePopup(w, "PopupBackground", popup);
    x.Open("Statusbar");
    x.Pos("SkinPos", status);
    x.Size("Size", QSize(8, 16));
    x.Leaf("Align", "Align=\"Bottom\"");
    x.Leaf("Font", "Face=\"DejaVu Sans\" Size=\"8\" Color=\"154,163,178\"");
    x.Flag("Visible", true);
    x.Close("Statusbar");
    x.Open("FileTypeIcons");
    x.Pos("SkinPos", icons);
    x.Size("Size", iconSize);
    x.Border("SkinBorder", 2);
    x.Close("FileTypeIcons");
    x.Close("Playlist");
}

// Media controls, 320 x 132: the speed slider and the ten equalizer bands in
// one panel, each labelled below.
void DrawMediaControls(Atlas& atlas, Xml& x)
{
    const QSize size(320, 132);
    const QRect panel(6, 20, 308, 106);
    const int sliderTop = 28, sliderHeight = 76;
    const QString bands[] = {"60", "170", "310", "600", "1K", "3K", "6K", "12K", "14K", "16K"};
    auto bandX = [](int band) { return 64 + band * 24; };
    const QSize thumb(12, 12);
    // The speed's mark is at 100 % (4 of 1..10), the bands' at 0 dB (12 of 0..24).
    const double speedMark = 3.0 / 9.0, bandMark = 0.5;
    const QPoint form = atlas.Shaped(size.width(), size.height(), pal::body, [&](QPainter& p) {
        DrawWindowBody(p, QRectF(QPointF(0, 0), size));
        DrawPanel(p, panel);
        p.fillRect(QRectF(50, 28, 1, 88), pal::hair);
        // Guides at the marks, continued by the bars' own pictures.
        DrawSeekMark(p, 14, 42, sliderTop + SeekMarkY(sliderHeight, thumb.height(), speedMark));
        DrawSeekMark(p, bandX(0) - 6, bandX(9) + thumb.width() + 6,
                     sliderTop + SeekMarkY(sliderHeight, thumb.height(), bandMark));
        auto label = [&](const QString& text, double centre) {
            DrawText(p, text, QPointF(centre - TextWidth(text, 5) / 2, 110), 5, pal::text2, 1.0);
        };
        label("SPEED", 28);
        for (int band = 0; band < 10; ++band)
            label(bands[band], bandX(band) + 6);
    });
    const QPoint caption = DrawCaption(atlas, QSize(110, 14), "EQUALIZER");
    const Seek speed = DrawSeek(atlas, QSize(12, sliderHeight), thumb, pal::panel, speedMark);
    const Seek slider = DrawSeek(atlas, QSize(12, sliderHeight), thumb, pal::panel, bandMark);
    const QPoint popup = DrawPopupPicture(atlas, Glyph::Equalizer);

    Writer w{x};
    x.Open("MediaControls");
    w.Form("Form", form, size);
    w.Caption("CaptionBar", QPoint(10, 3), caption, QSize(110, 14));
    WriteSeek(w, "SpeedSeekBar", QPoint(22, sliderTop), speed, "DownToUp");
    for (int band = 0; band < 10; ++band)
        WriteSeek(w, "Equalizer" + QString::number(band), QPoint(bandX(band), sliderTop), slider, "DownToUp");
    WritePopup(w, "PopupBackground", popup);
    x.Close("MediaControls");
}

// Video window: the same resizable frame as the playlist; the video fills
// its panel.
void DrawVideo(Atlas& atlas, Xml& x)
{
    const QPoint frame = DrawFrameReference(atlas);
    const QPoint grip = DrawGrip(atlas);
    const QPoint caption = DrawCaption(atlas, QSize(70, 14), "VIDEO");
    const QPoint videoPopup = DrawPopupPicture(atlas, Glyph::Film);
    const QPoint dvdPopup = DrawPopupPicture(atlas, Glyph::Dvd);

    Writer w{x};
    x.Open("Video");
    WriteResizeForm(x, frame, QSize(400, 300), QSize(240, 160));
    WriteImage(w, "Resizer", QPoint(388, 288), grip, QSize(12, 12));
    w.Caption("CaptionBar", QPoint(165, 5), caption, QSize(70, 14));
    x.Open("VideoWindow");
    x.Leaf("Borders", "Left=\"0\" Top=\"0\" Right=\"0\" Bottom=\"0\"");
    x.Close("VideoWindow");
    WritePopup(w, "VideoPopupBackground", videoPopup);
    WritePopup(w, "DVDPopupBackground", dvdPopup);
    x.Close("Video");
}

// Full-screen control bar, 620 x 64, at the bottom centre of the screen:
// transport buttons, a display panel with time and scroll label, mute and
// volume, and the seek bar along the foot.
void DrawFullscreenControl(Atlas& atlas, Xml& x, const TimeGlyphs& time)
{
    const QSize size(620, 64);
    const QRect panel(158, 6, 312, 40);
    const QPoint form = atlas.Shaped(size.width(), size.height(), pal::body, [&](QPainter& p) {
        DrawWindowBody(p, QRectF(QPointF(0, 0), size));
        DrawPanel(p, panel);
    });
    const QSize titleButton(18, 14);
    const QPoint close = DrawButton(atlas, titleButton, Glyph::Close, 10, pal::body, true);
    const QSize transport(26, 24);
    const Glyph glyphs[] = {Glyph::Previous, Glyph::Play, Glyph::Pause, Glyph::Stop, Glyph::Next};
    QPoint transportAt[5];
    for (int i = 0; i < 5; ++i)
        transportAt[i] = DrawButton(atlas, transport, glyphs[i], 12, pal::body);
    const QSize labelSize(186, 14);
    const QPoint labelBg =
        atlas.Single(labelSize.width(), labelSize.height(), pal::panel, [](QPainter&, const QRectF&) {});
    const Seek progress = DrawSeek(atlas, QSize(600, 12), QSize(12, 12), pal::body);
    const Seek volume = DrawSeek(atlas, QSize(90, 12), QSize(12, 12), pal::body);
    const QSize toggle(16, 14);
    const QPoint mute = DrawCheckbox(atlas, toggle, Glyph::Speaker, pal::body);

    Writer w{x};
    x.Open("VideoFullscreenControl");
    x.Open("Form");
    x.Pos("SkinPos", form);
    x.Size("Size", size);
    x.Flag("Masked", true);
    x.Leaf("Align", "Align=\"Bottom\"");
    x.Close("Form");
    w.Button("CloseButton", QPoint(596, 4), close, titleButton);
    WriteImage(w, "ScrolllabelBackground", QPoint(276, 19), labelBg, labelSize);
    w.Label("Scrolllabel", QPoint(276, 19), labelSize, pal::text);
    w.Bar("ProgressBar", {}, {}, {});
    WriteSeek(w, "ProgressSeekBar", QPoint(10, 48), progress, "LeftToRight");
    const char* const names[] = {"RewindButton", "PlayButton", "PauseButton", "StopButton", "ForwardButton"};
    for (int i = 0; i < 5; ++i)
        w.Button(names[i], QPoint(10 + i * 28, 14), transportAt[i], transport);
    w.Bar("Volume", {}, {}, {});
    WriteSeek(w, "VolumeSeekBar", QPoint(500, 19), volume, "LeftToRight");
    w.Button("MuteCheckbox", QPoint(480, 18), mute, toggle);
    WriteTime(x, QPoint(168, 17), time);
    x.Close("VideoFullscreenControl");
}

} // namespace skingen
