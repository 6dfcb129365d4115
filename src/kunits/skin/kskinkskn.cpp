#include "skin/kskinkskn.h"

#include <charconv>
#include <initializer_list>
#include <sstream>

#include "base/bounds.h"
#include "core/stream/kreadln.h"
#include "core/system/kfilesave.h"
#include "core/text/kstrings.h"

namespace kolvarin {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Reads the content lines in order and matches each against its pattern.
class KsknReader {
public:
    explicit KsknReader(std::string_view text) : in_(std::string(text)) {}

    // The next content line matched against the pattern; false (values
    // untouched by the caller) when it does not match.
    bool Line(std::string_view pattern)
    {
        std::string line;
        ReadLnSkipComments(in_, line);
        values_.clear();
        return !line.empty() && MatchKsknLine(line, pattern, values_);
    }

    int32_t Int(size_t i) const { return values_[i].Int; }
    int32_t Position(size_t i) const { return BoundedPosition(Int(i)); }
    int32_t Extent(size_t i) const { return BoundedExtent(Int(i)); }
    uint8_t Byte(size_t i) const { return static_cast<uint8_t>(values_[i].Int); }
    const std::string& Word(size_t i) const { return values_[i].Word; }
    bool Flag(size_t i) const { return values_[i].Word == "TRUE"; }
    gdi::Color Color(size_t first) const { return gdi::RGB(Byte(first), Byte(first + 1), Byte(first + 2)); }

    void Point(std::string_view name, TKSPoint& point)
    {
        if (Line(std::string(name) + " [ %d %d ]"))
            point = {Position(0), Position(1)};
    }
    void Size(std::string_view name, TKSSize& size)
    {
        if (Line(std::string(name) + " [ %d %d ]"))
            size = {Extent(0), Extent(1)};
    }
    void Byte(std::string_view name, uint8_t& value)
    {
        if (Line(std::string(name) + " [ %d ]"))
            value = Byte(0);
    }
    void Extent(std::string_view name, int32_t& value)
    {
        if (Line(std::string(name) + " [ %d ]"))
            value = Extent(0);
    }
    void Flag(std::string_view name, bool& value)
    {
        if (Line(std::string(name) + " [ %s ]"))
            value = Flag(0);
    }
    void Color(std::string_view name, gdi::Color& color)
    {
        if (Line(std::string(name) + " [ %d %d %d ]"))
            color = Color(0);
    }
    void Borders(TKSBorders& b)
    {
        if (Line("Borders [ %d %d %d %d ]"))
            b = {Extent(0), Extent(1), Extent(2), Extent(3)};
    }
    // An exact word of the list sets its index; any other word changes nothing.
    void Choice(std::string_view name, std::initializer_list<std::string_view> words, uint8_t& value)
    {
        if (!Line(std::string(name) + " [ %s ]"))
            return;
        uint8_t index = 0;
        for (std::string_view word : words) {
            if (Word(0) == word)
                value = index;
            ++index;
        }
    }

private:
    std::istringstream in_;
    std::vector<TKsknValue> values_;
};

void ReadButton(KsknReader& r, TKSButton& b)
{
    r.Point("FormPos", b.FormPos);
    r.Point("SkinPos", b.SkinPos);
    r.Size("Size", b.Size);
    r.Byte("Border", b.SkinBorder);
    r.Flag("Visible", b.Visible);
}

void ReadBar(KsknReader& r, TKSBar& b)
{
    r.Point("FormPos", b.FormPos);
    r.Point("SkinPos", b.SkinPos);
    r.Size("Size", b.Size);
    r.Byte("Border", b.SkinBorder);
    r.Choice("Align", {"LeftToRight", "RightToLeft", "DownToUp", "UpToDown"}, b.Align);
}

void ReadSeekBar(KsknReader& r, TKSSeekBar& b)
{
    r.Point("BgFormPos", b.BgFormPos);
    r.Point("BgSkinPos", b.BgSkinPos);
    r.Size("BgSize", b.BgSize);
    r.Point("BarSkinPos", b.BarSkinPos);
    r.Size("BarSize", b.BarSize);
    r.Byte("BarSkinBorder", b.BarSkinBorder);
    r.Choice("BarAlign", {"UpToDown", "DownToUp", "LeftToRight", "RightToLeft"}, b.BarAlign);
    r.Flag("Visible", b.Visible);
}

void ReadImage(KsknReader& r, TKSImage& i)
{
    r.Point("FormPos", i.FormPos);
    r.Point("SkinPos", i.SkinPos);
    r.Size("Size", i.Size);
}

void ReadPopup(KsknReader& r, TKSImage& i)
{
    r.Size("Size", i.Size);
    r.Point("SkinPos", i.SkinPos);
}

void ReadCaption(KsknReader& r, TKSCaptionBar& c)
{
    r.Point("FormPos", c.FormPos);
    r.Point("SkinPos", c.SkinPos);
    r.Byte("SkinBorder", c.SkinBorder);
    r.Size("Size", c.Size);
}

void ReadForm(KsknReader& r, TKSForm& f)
{
    r.Point("SkinPos", f.SkinPos);
    r.Size("Size", f.Size);
    r.Flag("Masked", f.Masked);
}

// The edges are derived only when their position, size and border lines all
// matched; otherwise they keep their rectangles.
void ReadResizeForm(KsknReader& r, TKSResizeForm& f)
{
    r.Size("Size", f.Size);
    r.Size("DefaultSize", f.DefaultSize);
    const bool havePos = r.Line("EdgeSkinPos [ %d %d ]");
    const TKSPoint pos = havePos ? TKSPoint{r.Position(0), r.Position(1)} : TKSPoint{};
    const bool haveSize = r.Line("EdgeSize [ %d %d ]");
    const TKSSize size = haveSize ? TKSSize{r.Extent(0), r.Extent(1)} : TKSSize{};
    const bool haveBorder = r.Line("EdgeBorder [ %d ]");
    if (havePos && haveSize && haveBorder)
        SkinGridRects({size.Width, size.Height, pos.X, pos.Y}, r.Byte(0), f.Edges);
    r.Flag("Masked", f.Masked);
}

void ReadLabel(KsknReader& r, TKSScrollLabel& l)
{
    r.Point("FormPos", l.FormPos);
    r.Size("Size", l.Size);
    if (r.Line("FontName [ %s ]"))
        l.FontName = AnsiToUtf16(r.Word(0));
    r.Color("FontColor", l.FontColor);
    if (r.Line("FontSize [ %d ]"))
        l.FontSize = BoundedFontSize(r.Int(0));
}

// The glyph row is derived only when its position and size lines matched.
void ReadTime(KsknReader& r, TKSTime& t)
{
    r.Point("FormPos", t.FormPos);
    const bool havePos = r.Line("SkinPos [ %d %d ]");
    const TKSPoint pos = havePos ? TKSPoint{r.Position(0), r.Position(1)} : TKSPoint{};
    const bool haveSize = r.Line("Size [ %d %d ]");
    const TKSSize size = haveSize ? TKSSize{r.Extent(0), r.Extent(1)} : TKSSize{};
    r.Byte("Border", t.SkinBorder);
    r.Byte("FormBorder", t.FormBorder);
    if (havePos && haveSize)
        SkinDigitRects({size.Width, size.Height, pos.X, pos.Y}, t);
}

// Font words are Windows-1252 bytes; faces are kept to 50 characters.
std::u16string Face(const std::string& word) { return AnsiToUtf16(word).substr(0, 50); }

void ReadStyle(KsknReader& r, std::string_view name, int last, uint8_t& style, gdi::Color& color)
{
    if (!r.Line(std::string(name) + " [ %d %d %d %d ]"))
        return;
    if (r.Int(0) >= 0 && r.Int(0) <= last)
        style = static_cast<uint8_t>(r.Int(0));
    color = r.Color(1);
}

void ReadMain(KsknReader& r, TKSMain& m)
{
    ReadForm(r, m.Form);
    ReadCaption(r, m.CaptionBar);
    ReadButton(r, m.CloseButton);
    ReadButton(r, m.MinimizeButton);
    TKSAnalyzer& a = m.Analyzer;
    TKSImage placed{a.FormPos, a.SkinPos, a.Size, {}};
    ReadImage(r, placed);
    a.FormPos = placed.FormPos;
    a.SkinPos = placed.SkinPos;
    a.Size = placed.Size;
    r.Color("PeakColor", a.PeakColor);
    r.Color("LineColor", a.LineColor);
    if (r.Line("Spectrum [ %d %d ]")) {
        a.NumLines = r.Extent(0);
        a.NumBars = r.Extent(1);
    }
    r.Extent("SpectrumHeight", a.SpectrumHeight);
    r.Extent("BarWidth", a.BarWidth);
    if (r.Line("Align [ %s ]"))
        a.Align = SpectrumAlignFromStr(AnsiToUtf16(r.Word(0)));
    r.Flag("Visible", a.Visible);
    ReadImage(r, m.ScrolllabelBackground);
    ReadLabel(r, m.Scrolllabel);
    ReadBar(r, m.ProgressBar);
    ReadSeekBar(r, m.ProgressSeekBar);
    for (TKSButton* b :
         {&m.RewindButton, &m.PlayButton, &m.PauseButton, &m.StopButton, &m.ForwardButton, &m.EjectButton})
        ReadButton(r, *b);
    ReadBar(r, m.Volume);
    ReadSeekBar(r, m.VolumeSeekBar);
    ReadSeekBar(r, m.Balance);
    for (TKSCheckbox* c : {&m.MuteCheckbox, &m.PlaymodeCheckbox, &m.AutofullscreenCheckbox, &m.AutoVideoResizeCheckbox,
                           &m.PlaylistCheckbox, &m.EqualizerCheckbox})
        ReadButton(r, *c);
    ReadButton(r, m.ConfigButton);
    ReadTime(r, m.Time);
    for (TKSImage* i :
         {&m.StatusIconReady, &m.StatusIconStop, &m.StatusIconPlay, &m.StatusIconPause, &m.StatusIconWait})
        ReadImage(r, *i);
    ReadPopup(r, m.PopupBackground);
}

void ReadPlaylist(KsknReader& r, TKSPlaylist& p)
{
    ReadResizeForm(r, p.ResizeForm);
    ReadImage(r, p.Resizer);
    ReadCaption(r, p.CaptionBar);
    TKSPlaylistEditor& e = p.PlaylistEditor;
    r.Borders(e.Borders);
    if (r.Line("Font [ %s %d ]")) {
        e.FontName = Face(r.Word(0));
        e.FontSize = BoundedFontSize(r.Int(1));
    }
    r.Color("NormalColor", e.NormalTextColor);
    r.Color("SelectedColor", e.SelectedTextColor);
    r.Color("PlayedColor", e.PlayedTextColor);
    ReadStyle(r, "NormalBorderBgStyle", 7, e.NormalBgStyle, e.NormalBgColor);
    ReadStyle(r, "SelectedBorderBgStyle", 7, e.SelectedBgStyle, e.SelectedBgColor);
    ReadStyle(r, "NormalBorderStyle", 5, e.NormalPenStyle, e.NormalPenColor);
    ReadStyle(r, "SelectedBorderStyle", 5, e.SelectedPenStyle, e.SelectedPenColor);
    r.Size("Size", p.Scrollbar.Size);
    r.Point("SkinPos", p.Scrollbar.SkinPos);
    r.Byte("SkinBorder", p.Scrollbar.SkinBorder);
    ReadPopup(r, p.PopupBackground);
    TKSStatusBar& s = p.Statusbar;
    r.Choice("Align", {"Top", "Bottom"}, s.Align);
    r.Point("SkinPos", s.SkinPos);
    r.Size("Size", s.Size);
    if (r.Line("Font [ %s %d %d %d %d ]")) {
        s.FontName = Face(r.Word(0));
        s.FontSize = BoundedFontSize(r.Int(1));
        s.FontColor = r.Color(2);
    }
    r.Flag("Visible", s.Visible);
    r.Size("Size", p.FileTypeIcons.Size);
    r.Point("SkinPos", p.FileTypeIcons.SkinPos);
    r.Byte("SkinBorder", p.FileTypeIcons.SkinBorder);
}

void ReadMediaControls(KsknReader& r, TKSMediaControls& mc)
{
    ReadForm(r, mc.Form);
    ReadCaption(r, mc.CaptionBar);
    ReadSeekBar(r, mc.SpeedSeekBar);
    for (TKSSeekBar& band : mc.Equalizer)
        ReadSeekBar(r, band);
    ReadPopup(r, mc.PopupBackground);
}

void ReadVideo(KsknReader& r, TKSVideo& v)
{
    ReadResizeForm(r, v.ResizeForm);
    ReadImage(r, v.Resizer);
    ReadCaption(r, v.CaptionBar);
    r.Borders(v.VideoWindow);
    ReadPopup(r, v.VideoPopupBackground);
    ReadPopup(r, v.DVDPopupBackground);
}

void ReadFullscreenControl(KsknReader& r, TKSVideoFullscreenControl& f)
{
    // Any other word, and a line that does not match, give Bottom.
    f.Align = bpBottom;
    r.Choice("Align", {"TopLeft", "Top", "TopRight", "Left", "Right", "Center", "BottomLeft", "Bottom", "BottomRight"},
             f.Align);
    f.Form.Size = {};
    ReadForm(r, f.Form);
    ReadButton(r, f.CloseButton);
    ReadImage(r, f.ScrolllabelBackground);
    ReadLabel(r, f.Scrolllabel);
    ReadBar(r, f.ProgressBar);
    ReadSeekBar(r, f.ProgressSeekBar);
    for (TKSButton* b : {&f.RewindButton, &f.PlayButton, &f.PauseButton, &f.StopButton, &f.ForwardButton})
        ReadButton(r, *b);
    ReadBar(r, f.Volume);
    ReadSeekBar(r, f.VolumeSeekBar);
    ReadButton(r, f.MuteCheckbox);
    ReadTime(r, f.Time);
}

} // namespace

bool MatchKsknLine(std::string_view line, std::string_view pattern, std::vector<TKsknValue>& values)
{
    size_t at = 0;
    for (size_t p = 0; p < pattern.size(); ++p) {
        const char c = pattern[p];
        if (c == ' ') {
            while (at < line.size() && IsBlank(line[at]))
                ++at;
        } else if (c == '%' && p + 1 < pattern.size() && pattern[p + 1] == 'd') {
            ++p;
            size_t end = at;
            if (end < line.size() && (line[end] == '-' || line[end] == '+'))
                ++end;
            while (end < line.size() && line[end] >= '0' && line[end] <= '9')
                ++end;
            const char* first = line.data() + at + (at < line.size() && line[at] == '+' ? 1 : 0);
            TKsknValue value;
            const auto [stop, ec] = std::from_chars(first, line.data() + end, value.Int);
            if (ec != std::errc() || stop != line.data() + end)
                return false;
            values.push_back(value);
            at = end;
        } else if (c == '%' && p + 1 < pattern.size() && pattern[p + 1] == 's') {
            ++p;
            const size_t start = at;
            while (at < line.size() && !IsBlank(line[at]))
                ++at;
            if (at == start)
                return false;
            values.push_back({0, std::string(line.substr(start, at - start))});
        } else if (at < line.size() && line[at] == c) {
            ++at;
        } else {
            return false;
        }
    }
    while (at < line.size() && IsBlank(line[at]))
        ++at;
    return at == line.size();
}

TKSkinReadResult ReadSkinKsknText(TKGUI& skin, std::string_view text)
{
    KsknReader r(text);
    r.Color("TransparentColor", skin.TransparentColor);
    ReadMain(r, skin.Main);
    ReadPlaylist(r, skin.Playlist);
    ReadMediaControls(r, skin.MediaControls);
    ReadVideo(r, skin.Video);
    ReadFullscreenControl(r, skin.VideoFullscreenControl);
    return {};
}

TKSkinReadResult ReadSkinKskn(TKGUI& skin, const std::string& fileName)
{
    std::string bytes;
    if (!ReadWholeFile(fileName, bytes, kMaxDescriptionBytes))
        return {TKSkinReadStatus::CannotOpen, "cannot read " + fileName};
    return ReadSkinKsknText(skin, bytes);
}

} // namespace kolvarin
