#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "gdi/bitmap.h"
#include "gdi/color.h"
#include "gdi/region.h"

namespace kolvarin {

// The skin record: for each of the five skinned windows one section with a
// record per window part ("element"). Description fields come from a skin
// description; images are cut from the skin bitmap by LoadSkin; the fields
// marked run-time are kept by the element routines (kskinelements.h), the
// play system and the windows. One instance, GUI; main thread only.

struct TKSPoint {
    int32_t X = 0;
    int32_t Y = 0;
};

struct TKSSize {
    int32_t Width = 0;
    int32_t Height = 0;
};

// A rectangle of the skin bitmap: its size and top-left.
struct TKSRect {
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t X = 0;
    int32_t Y = 0;
};

// Left, top, right and bottom gaps.
struct TKSBorders {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
};

// A control rectangle kept by the element routines (right and bottom exclusive).
struct TKSBounds {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
};

struct TKSForm {
    TKSPoint SkinPos;
    TKSSize Size;
    gdi::Bitmap Bitmap;
    bool Masked = true;
    gdi::Region Region; // run-time: the window's shape
};

struct TKSCaptionBar {
    TKSPoint FormPos;
    TKSPoint SkinPos;
    uint8_t SkinBorder = 2;
    TKSSize Size;
    std::array<gdi::Bitmap, 2> Bitmaps; // 0 inactive, 1 active
};

// Buttons: states 1 normal, 2 hover, 3 pressed (image 0 is cut but unused).
struct TKSButton {
    uint8_t State = 1;
    TKSPoint FormPos;
    TKSPoint SkinPos;
    uint8_t SkinBorder = 2;
    TKSSize Size;
    std::array<gdi::Bitmap, 4> Bitmaps;
    bool Visible = true;
};

// Check boxes: states 1 unchecked, 2 pressed, 3 checked.
struct TKSCheckbox : TKSButton {};

// Fill-bar orientations.
enum TKSBarAlign : uint8_t { baLeftToRight = 0, baRightToLeft = 1, baDownToUp = 2, baUpToDown = 3 };
// Seek-bar orientations (numbered differently from the fill bar's).
enum TKSSeekBarAlign : uint8_t { sbaUpToDown = 0, sbaDownToUp = 1, sbaLeftToRight = 2, sbaRightToLeft = 3 };

struct TKSBar {
    uint8_t Align = baLeftToRight;
    int64_t Max = 0; // run-time
    int64_t Min = 0; // run-time
    int64_t Value = 0; // run-time
    TKSPoint FormPos;
    TKSPoint SkinPos;
    TKSSize Size;
    uint8_t SkinBorder = 2;
    std::array<gdi::Bitmap, 2> Bitmaps; // 0 background, 1 fill
    bool Enabled = false; // run-time, set by the play system
};

struct TKSSeekBar {
    TKSBounds Track; // run-time: the background control's bounds
    int64_t Min = 0; // run-time
    int64_t Max = 0; // run-time
    int64_t Value = 0; // run-time
    TKSPoint BgFormPos;
    TKSPoint BgSkinPos;
    TKSSize BgSize;
    TKSPoint BarSkinPos;
    TKSSize BarSize;
    uint8_t BarSkinBorder = 2;
    int32_t Travel = 0; // run-time: background extent minus thumb extent
    std::array<gdi::Bitmap, 2> BarBitmaps; // the thumb: 0 normal, 1 pressed
    gdi::Bitmap BgBitmap;
    uint8_t BarAlign = sbaLeftToRight;
    bool Enabled = false; // run-time, set by the play system
    bool Visible = true;
};

struct TKSImage {
    TKSPoint FormPos;
    TKSPoint SkinPos;
    TKSSize Size;
    gdi::Bitmap Bitmap;
};

// Scroll-label modes.
enum TKSScrollMode : uint8_t { smStatic = 0, smRight = 1, smLeft = 2 };

struct TKSScrollLabel {
    uint8_t Mode = smStatic; // run-time
    TKSPoint FormPos;
    TKSSize Size;
    std::u16string FontName = u"Tahoma";
    gdi::Color FontColor = gdi::RGB(255, 255, 255);
    int32_t FontSize = 8;
    std::u16string Text; // run-time
    int32_t TextWidth = 0; // run-time
    int32_t X1 = 0; // run-time: the two text copies
    int32_t X2 = 0;
    int32_t Step = 1; // run-time: pixels per paint
    gdi::Bitmap Buffer; // the off-screen surface, the label's size
};

// Time glyphs in the record's order.
enum TKSTimeChar : int { tcSpace = 10, tcColon = 11, tcMinus = 12, tcMinusSpace = 13, tcCount = 14 };

struct TKSTime {
    TKSPoint FormPos;
    bool UseBg = false;
    TKSSize BgSize;
    TKSPoint BgSkinPos;
    gdi::Bitmap BgBitmap;
    std::array<TKSRect, tcCount> Chars; // "0".."9", Space, ":", "-", "- Space"
    uint8_t SkinBorder = 2;
    uint8_t FormBorder = 1;
    std::array<gdi::Bitmap, tcCount> CharBitmaps;
};

// The nine edges in the record's order.
enum TKSEdge : int { eTopLeft, eTop, eTopRight, eLeft, eCenter, eRight, eBottomLeft, eBottom, eBottomRight, eCount };

struct TKSResizeForm {
    TKSSize Size; // the window size: from the description, then kept current
    TKSSize DefaultSize; // the window's minimum size
    std::array<TKSRect, eCount> Edges;
    std::array<gdi::Bitmap, eCount> EdgeBitmaps;
    gdi::Bitmap Background; // composed at the current size
    bool Masked = true;
    gdi::Region Region; // run-time
};

struct TKSScrollBar {
    TKSBounds Thumb; // run-time
    int64_t Max = 0; // run-time: rows that can be scrolled away
    int64_t Position = 0; // run-time: the first visible row
    TKSSize Size; // the thumb's size
    TKSPoint SkinPos;
    uint8_t SkinBorder = 2;
    std::array<gdi::Bitmap, 2> Bitmaps; // 0 normal, 1 pressed
    int32_t Travel = 0; // run-time
    bool Shown = false; // run-time
};

struct TKSStatusBar {
    uint8_t Align = 1; // 0 top, 1 bottom
    TKSPoint SkinPos;
    TKSSize Size;
    gdi::Bitmap Bitmap; // the tile
    gdi::Bitmap Background; // the tile repeated over the current width
    std::u16string FontName = u"Tahoma"; // at most 50 characters
    int32_t FontSize = 8;
    gdi::Color FontColor = gdi::RGB(0, 0, 0);
    bool Visible = true;
    bool Hidden = false; // run-time, from the settings
};

// File-type icons by index: 0 audio file, 1 music CD, 2 audio stream, 3 video
// file, 4 video stream, 5 DVD; 6 is cut but no entry type uses it.
struct TKSFileTypeIcons {
    TKSSize Size;
    TKSPoint SkinPos;
    uint8_t SkinBorder = 2;
    std::array<gdi::Bitmap, 7> Bitmaps;
};

struct TKSAnalyzer {
    TKSPoint FormPos;
    TKSPoint SkinPos;
    TKSSize Size;
    gdi::Bitmap Bitmap; // the analyzer background
    gdi::Color PeakColor = gdi::RGB(255, 255, 255);
    gdi::Color LineColor = gdi::RGB(200, 200, 200);
    int32_t NumLines = 81;
    int32_t NumBars = 21;
    int32_t SpectrumHeight = 25;
    int32_t BarWidth = 3;
    uint8_t Align = 0; // 0 bars across the width ("DownToUp"), 1 one above the other ("RightToLeft")
    bool Visible = true;
};

// Brush and pen styles as descriptions number them; SkinBrush/SkinPen
// (kskinelements.h) turn them into drawing styles.
struct TKSPlaylistEditor {
    TKSBorders Borders;
    std::u16string FontName = u"Tahoma"; // at most 50 characters
    int32_t FontSize = 8;
    gdi::Color NormalTextColor = gdi::RGB(0, 0, 0);
    gdi::Color SelectedTextColor = gdi::RGB(150, 150, 150);
    gdi::Color PlayedTextColor = gdi::RGB(255, 255, 255);
    gdi::Color DropTextColor = gdi::RGB(200, 200, 200); // no description sets it
    uint8_t NormalBgStyle = 0;
    uint8_t SelectedBgStyle = 1;
    gdi::Color NormalBgColor = gdi::RGB(0, 0, 0);
    gdi::Color SelectedBgColor = gdi::RGB(106, 106, 106);
    uint8_t NormalPenStyle = 0;
    uint8_t SelectedPenStyle = 1;
    gdi::Color NormalPenColor = gdi::RGB(0, 0, 0);
    gdi::Color SelectedPenColor = gdi::RGB(90, 90, 90);
};

struct TKSMain {
    TKSForm Form;
    TKSCaptionBar CaptionBar;
    TKSButton CloseButton, MinimizeButton;
    TKSAnalyzer Analyzer;
    TKSImage ScrolllabelBackground;
    TKSScrollLabel Scrolllabel;
    TKSBar ProgressBar;
    TKSSeekBar ProgressSeekBar;
    TKSButton RewindButton, PlayButton, PauseButton, StopButton, ForwardButton, EjectButton;
    TKSBar Volume;
    TKSSeekBar VolumeSeekBar, Balance;
    TKSCheckbox MuteCheckbox, PlaymodeCheckbox, AutofullscreenCheckbox, AutoVideoResizeCheckbox, PlaylistCheckbox,
        EqualizerCheckbox;
    TKSButton ConfigButton;
    TKSTime Time;
    TKSImage StatusIconReady, StatusIconStop, StatusIconPlay, StatusIconPause, StatusIconWait;
    TKSImage PopupBackground;
};

struct TKSPlaylist {
    TKSResizeForm ResizeForm;
    TKSImage Resizer;
    TKSCaptionBar CaptionBar;
    TKSPlaylistEditor PlaylistEditor;
    TKSScrollBar Scrollbar;
    TKSImage PopupBackground;
    TKSStatusBar Statusbar;
    TKSFileTypeIcons FileTypeIcons;
};

struct TKSMediaControls {
    TKSForm Form;
    TKSCaptionBar CaptionBar;
    TKSSeekBar SpeedSeekBar;
    std::array<TKSSeekBar, 10> Equalizer;
    TKSImage PopupBackground;
};

struct TKSVideo {
    TKSResizeForm ResizeForm;
    TKSImage Resizer;
    TKSCaptionBar CaptionBar;
    TKSBorders VideoWindow;
    TKSImage VideoPopupBackground, DVDPopupBackground;
};

// Positions of the full-screen control bar on the screen.
enum TKSBarPosition : uint8_t {
    bpTopLeft,
    bpTop,
    bpTopRight,
    bpLeft,
    bpRight,
    bpCenter,
    bpBottomLeft,
    bpBottom,
    bpBottomRight
};

struct TKSVideoFullscreenControl {
    uint8_t Align = bpBottom;
    TKSButton CloseButton;
    TKSForm Form;
    TKSImage ScrolllabelBackground;
    TKSScrollLabel Scrolllabel;
    TKSBar ProgressBar;
    TKSSeekBar ProgressSeekBar;
    TKSButton RewindButton, PlayButton, PauseButton, StopButton, ForwardButton;
    TKSBar Volume;
    TKSSeekBar VolumeSeekBar;
    TKSCheckbox MuteCheckbox;
    TKSTime Time;
};

struct TKGUI {
    bool Loaded = false; // true only after a complete, successful LoadSkin
    gdi::Color TransparentColor = gdi::RGB(0, 255, 0);
    TKSMain Main;
    TKSPlaylist Playlist;
    TKSMediaControls MediaControls;
    TKSVideo Video;
    TKSVideoFullscreenControl VideoFullscreenControl;
};

// The process-wide skin record.
extern TKGUI GUI;

// Sets every field to its default and every image to an empty bitmap;
// Loaded keeps its value.
void InitGUI(TKGUI& skin);
// Releases every image (and composed background and region).
void FreeGUI(TKGUI& skin);

// The nine equal edges of a 3 x 3 grid of rect-sized cells starting at the
// rectangle's top-left, border pixels apart.
void SkinGridRects(const TKSRect& rect, int border, std::array<TKSRect, eCount>& edges);
// The 14 time glyphs: a row of 13 rect-sized characters starting at the
// rectangle's top-left, SkinBorder pixels apart; "- Space" takes Space's.
void SkinDigitRects(const TKSRect& rect, TKSTime& time);

} // namespace kolvarin
