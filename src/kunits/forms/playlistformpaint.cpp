#include <algorithm>

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/text/klanguage.h"
#include "forms/playlistform.h"
#include "gdi/canvas.h"
#include "playback/ksystem.h"
#include "skin/kskinelements.h"

namespace kolvarin {

int DecimalDigits(int64_t count)
{
    int digits = 1;
    for (; count >= 10; count /= 10)
        ++digits;
    return digits;
}

std::u16string PlaylistNumberText(int index, int count)
{
    std::u16string number;
    for (int64_t n = int64_t{index} + 1; n > 0; n /= 10)
        number.insert(number.begin(), static_cast<char16_t>(u'0' + n % 10));
    const size_t digits = static_cast<size_t>(DecimalDigits(count));
    if (number.size() < digits)
        number.insert(0, digits - number.size(), u'_');
    return number + u".)  ";
}

int FileTypeIconIndex(TSystemType type)
{
    switch (type) {
    case TSystemType::BassFile:
    case TSystemType::DirectXAudio: return 0;
    case TSystemType::CDTrack: return 1;
    case TSystemType::BassStream: return 2;
    case TSystemType::DirectXVideo: return 3;
    case TSystemType::DirectXStream: return 4;
    case TSystemType::DVD: return 5;
    default: return -1;
    }
}

namespace {

// What one paint of the list needs for every row; built once per paint.
struct TRowPainter {
    gdi::Canvas& canvas;
    const TKGUI& skin;
    int width;
    int lineHeight;
    int count;
    bool numbers;
    bool times;
    bool icons;
    int digitWidth;

    void SetRowStyle(bool selected)
    {
        const TKSPlaylistEditor& e = skin.Playlist.PlaylistEditor;
        canvas.brush = {SkinBrushStyle(selected ? e.SelectedBgStyle : e.NormalBgStyle),
                        selected ? e.SelectedBgColor : e.NormalBgColor};
        canvas.pen = {SkinPenStyle(selected ? e.SelectedPenStyle : e.NormalPenStyle),
                      selected ? e.SelectedPenColor : e.NormalPenColor};
        canvas.font.color = selected ? e.SelectedTextColor : e.NormalTextColor;
    }

    void Row(const TKPlaylistEntry& entry, int index, int y, bool dropRow)
    {
        const TKSPlaylistEditor& e = skin.Playlist.PlaylistEditor;
        int iconWidth = 0;
        int icon = -1;
        if (icons) {
            icon = FileTypeIconIndex(PlaySystem ? PlaySystem->GetSystemTypFromFileName(entry.FileName)
                                                : TSystemType::None);
            iconWidth = lineHeight;
        }
        const std::u16string number = numbers ? PlaylistNumberText(index, count) : std::u16string();
        const std::u16string time = times ? std::u16string(entry.Time.begin(), entry.Time.end()) : std::u16string();
        const int extra = canvas.textWidth(number + time);
        const std::u16string caption = FitCaption(entry.Caption, width - extra - iconWidth,
                                                  [this](const std::u16string& t) { return canvas.textWidth(t); });
        SetRowStyle(entry.Selected);
        if (entry.PlayState)
            canvas.font.color = e.PlayedTextColor;
        if (dropRow)
            canvas.font.color = e.DropTextColor;
        canvas.rectangle({0, y, width, y + lineHeight});
        canvas.brush.style = gdi::BrushStyle::Clear;
        int x = iconWidth;
        for (char16_t c : number) {
            if (c != u'_')
                canvas.textOut(x, y, std::u16string(1, c));
            x += digitWidth;
        }
        canvas.textOut(iconWidth + (numbers ? canvas.textWidth(number) : 0), y, caption);
        if (times)
            canvas.textOut(width - canvas.textWidth(time), y, time);
        if (icon >= 0) {
            const gdi::Bitmap& picture = skin.Playlist.FileTypeIcons.Bitmaps[static_cast<size_t>(icon)];
            canvas.stretchDraw({0, y, lineHeight, y + lineHeight}, picture);
        }
    }
};

} // namespace

void TfrmPlaylist::PaintList(TKPaintbox& box)
{
    const TKGUI& skin = Skin();
    if (!skin.Loaded)
        return;
    PaintBackgroundUnder(box, skin.Playlist.ResizeForm.Background);
    gdi::Canvas canvas = box.Canvas();
    const TKSPlaylistEditor& e = skin.Playlist.PlaylistEditor;
    canvas.font.name = e.FontName;
    canvas.font.size = e.FontSize;
    lineHeight_ = std::max(canvas.textHeight(u"Kolvarin"), 1);
    const int count = PlaylistCount();
    const int width = box.width();
    visibleLines_ = box.height() / lineHeight_;
    TKSScrollBar& scroll = Scroll();
    scroll.Max = std::max<int64_t>(count - visibleLines_, 0);
    TRowPainter rows{canvas,
                     skin,
                     width,
                     lineHeight_,
                     count,
                     Config && Config->PLDrawNumbers,
                     Config && Config->PLDrawTime,
                     Config && Config->PLDrawFileTypeIcons,
                     canvas.textWidth(u"9")};
    if (count == 0) {
        rows.SetRowStyle(false);
        canvas.rectangle({0, 0, width, lineHeight_});
        canvas.brush.style = gdi::BrushStyle::Clear;
        canvas.textOut(0, 0, Language.Text(TLanguageSection::Status, 6));
    }
    // When every entry fits, the list starts at the first whatever was
    // scrolled before; else the last page is always full.
    scroll.Position = count <= visibleLines_ ? 0 : std::clamp<int64_t>(scroll.Position, 0, scroll.Max);
    scroll.Shown = count > visibleLines_;
    imgScrollBar->setVisible(scroll.Shown);
    firstVisible_ = static_cast<int>(scroll.Position);
    endVisible_ = std::min(count, firstVisible_ + visibleLines_);
    for (int i = firstVisible_, y = 0; i < endVisible_; ++i, y += lineHeight_)
        rows.Row(*PlaylistGetItem(i), i, y, IsDropRow(i));
}

void TfrmPlaylist::PaintStatusbar(TKPaintbox& box)
{
    const TKGUI& skin = Skin();
    const TKSStatusBar& bar = skin.Playlist.Statusbar;
    if (!skin.Loaded || !bar.Visible)
        return;
    gdi::Canvas canvas = box.Canvas();
    canvas.bitBlt(0, 0, box.width(), box.height(), bar.Background, 0, 0);
    canvas.font.name = bar.FontName;
    canvas.font.size = bar.FontSize;
    canvas.font.color = bar.FontColor;
    canvas.brush.style = gdi::BrushStyle::Clear;
    const int64_t seconds = PlaylistTotalTime() / 1000;
    const std::u16string text =
        FitCaption(Language.Format(TLanguageSection::Status, 29, PlaylistCount(), seconds / 86400, seconds / 3600 % 24,
                                   seconds / 60 % 60, seconds % 60),
                   box.width(), [&canvas](const std::u16string& t) { return canvas.textWidth(t); });
    const int textWidth = canvas.textWidth(text);
    int x = 0;
    const int align = Config ? Config->SBTextAlign : 0;
    if (align == 2)
        x = box.width() - textWidth;
    else if (align == 3)
        x = box.width() / 2 - textWidth / 2;
    canvas.textOut(x, 0, text);
}

} // namespace kolvarin
