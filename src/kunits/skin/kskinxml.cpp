#include "skin/kskinxml.h"

#include <array>
#include <charconv>

#include "base/bounds.h"
#include "core/system/kfilesave.h"
#include "core/xml/kxmlaccess.h"
#include "core/xml/lumoxml.h"

namespace kolvarin {

namespace {

std::u16string Lower(std::u16string_view text)
{
    std::u16string out(text);
    for (char16_t& c : out)
        if (c >= u'A' && c <= u'Z')
            c = char16_t(c - u'A' + u'a');
    return out;
}

// A value that must be an integer is not: ends the read.
struct BadNumber {
    std::string text;
};

// Reads the attributes of one element of a window section. A missing child
// or attribute takes the default.
class ElementReader {
public:
    ElementReader(const TLumoXMLTag* section, std::string_view name) : ElementReader(name, FindXmlTag(section, name)) {}
    ElementReader(std::string_view name, const TLumoXMLTag* element) : name_(name), element_(element) {}

    std::u16string Text(std::string_view child, std::string_view attribute, std::u16string_view defaultValue) const
    {
        return GetXmlAttribute(FindXmlTag(element_, child), attribute, defaultValue);
    }

    int32_t Int(std::string_view child, std::string_view attribute) const
    {
        const std::u16string text = Text(child, attribute, u"0");
        int32_t value = 0;
        if (!SkinIntFromStr(text, value))
            throw BadNumber{Where(child, attribute) + " is not an integer"};
        return value;
    }

    int32_t Position(std::string_view child, std::string_view attribute) const
    {
        return BoundedPosition(Int(child, attribute));
    }
    int32_t Extent(std::string_view child, std::string_view attribute) const
    {
        return BoundedExtent(Int(child, attribute));
    }
    int32_t FontSize(std::string_view child) const { return BoundedFontSize(Int(child, "Size")); }

    uint8_t Byte(std::string_view child, std::string_view attribute) const
    {
        return static_cast<uint8_t>(Int(child, attribute));
    }

    bool Flag(std::string_view child) const
    {
        const std::u16string text = Lower(Text(child, "Enabled", u"False"));
        return text == u"true" || text == u"1";
    }

    gdi::Color Color(std::string_view child) const
    {
        gdi::Color color = 0;
        if (!SkinColorFromStr(Text(child, "Color", u"0,0,0"), color))
            throw BadNumber{Where(child, "Color") + " is not a colour"};
        return color;
    }

    // Field by field, so a bad value leaves the ones before it stored.
    void Point(std::string_view child, TKSPoint& p) const
    {
        p.X = Position(child, "X");
        p.Y = Position(child, "Y");
    }
    void Size(std::string_view child, TKSSize& s) const
    {
        s.Width = Extent(child, "Width");
        s.Height = Extent(child, "Height");
    }
    void Borders(std::string_view child, TKSBorders& b) const
    {
        b.Left = Extent(child, "Left");
        b.Top = Extent(child, "Top");
        b.Right = Extent(child, "Right");
        b.Bottom = Extent(child, "Bottom");
    }

    const TLumoXMLTag* Element() const { return element_; }

private:
    std::string Where(std::string_view child, std::string_view attribute) const
    {
        return std::string(name_) + "/" + std::string(child) + " " + std::string(attribute);
    }

    std::string_view name_;
    const TLumoXMLTag* element_;
};

void ReadSkinFormXml(const TLumoXMLTag* section, std::string_view name, TKSForm& form)
{
    const ElementReader r(section, name);
    r.Point("SkinPos", form.SkinPos);
    r.Size("Size", form.Size);
    form.Masked = r.Flag("Masked");
}

void ReadSkinCaptionBarXml(const TLumoXMLTag* section, std::string_view name, TKSCaptionBar& bar)
{
    const ElementReader r(section, name);
    r.Point("FormPos", bar.FormPos);
    r.Point("SkinPos", bar.SkinPos);
    bar.SkinBorder = r.Byte("SkinBorder", "Border");
    r.Size("Size", bar.Size);
}

void ReadSkinButtonXml(const TLumoXMLTag* section, std::string_view name, TKSButton& button)
{
    const ElementReader r(section, name);
    r.Point("FormPos", button.FormPos);
    r.Point("SkinPos", button.SkinPos);
    r.Size("Size", button.Size);
    button.SkinBorder = r.Byte("SkinBorder", "Border");
    button.Visible = r.Flag("Visible");
}

void ReadSkinCheckboxXml(const TLumoXMLTag* section, std::string_view name, TKSCheckbox& box)
{
    ReadSkinButtonXml(section, name, box);
}

void ReadSkinBarXml(const TLumoXMLTag* section, std::string_view name, TKSBar& bar)
{
    const ElementReader r(section, name);
    r.Point("FormPos", bar.FormPos);
    r.Point("SkinPos", bar.SkinPos);
    r.Size("Size", bar.Size);
    bar.SkinBorder = r.Byte("SkinBorder", "Border");
    bar.Align = BarAlignFromStr(r.Text("Align", "Align", u"LeftToRight"));
}

void ReadSkinSeekBarXml(const TLumoXMLTag* section, std::string_view name, TKSSeekBar& bar)
{
    const ElementReader r(section, name);
    r.Point("BgFormPos", bar.BgFormPos);
    r.Point("BgSkinPos", bar.BgSkinPos);
    r.Size("BgSize", bar.BgSize);
    r.Point("BarSkinPos", bar.BarSkinPos);
    r.Size("BarSize", bar.BarSize);
    bar.BarSkinBorder = r.Byte("BarSkinBorder", "Border");
    bar.BarAlign = SeekBarAlignFromStr(r.Text("BarAlign", "Align", u"LeftToRight"));
    bar.Visible = r.Flag("Visible");
}

void ReadSkinImageXml(const TLumoXMLTag* section, std::string_view name, TKSImage& image)
{
    const ElementReader r(section, name);
    r.Point("FormPos", image.FormPos);
    r.Point("SkinPos", image.SkinPos);
    r.Size("Size", image.Size);
}

// The status icons are plain images.
void ReadSkinIconXml(const TLumoXMLTag* section, std::string_view name, TKSImage& icon)
{
    ReadSkinImageXml(section, name, icon);
}

void ReadSkinEdgeXml(const ElementReader& edges, std::string_view name, TKSRect& edge)
{
    const ElementReader r(edges.Element(), name);
    TKSPoint pos;
    TKSSize size;
    r.Point("SkinPos", pos);
    r.Size("Size", size);
    edge = {size.Width, size.Height, pos.X, pos.Y};
}

void ReadSkinResizeFormXml(const TLumoXMLTag* section, std::string_view name, TKSResizeForm& form)
{
    static constexpr std::array<std::string_view, eCount> kEdgeNames = {
        "TopLeft", "Top", "TopRight", "Left", "Center", "Right", "BottomLeft", "Bottom", "BottomRight"};
    const ElementReader r(section, name);
    r.Size("Size", form.Size);
    r.Size("DefaultSize", form.DefaultSize);
    form.Masked = r.Flag("Masked");
    const ElementReader edges(r.Element(), "Edges");
    for (int k = 0; k < eCount; ++k)
        ReadSkinEdgeXml(edges, kEdgeNames[k], form.Edges[k]);
}

void ReadSkinScrollBarXml(const TLumoXMLTag* section, std::string_view name, TKSScrollBar& bar)
{
    const ElementReader r(section, name);
    r.Point("SkinPos", bar.SkinPos);
    r.Size("Size", bar.Size);
    bar.SkinBorder = r.Byte("SkinBorder", "Border");
}

void ReadSkinTimeXml(const TLumoXMLTag* section, std::string_view name, TKSTime& time)
{
    const ElementReader r(section, name);
    r.Point("FormPos", time.FormPos);
    time.UseBg = r.Flag("UseBg");
    r.Point("BgSkinPos", time.BgSkinPos);
    r.Size("BgSize", time.BgSize);
    // Without Chars the glyph rectangles keep their values. Children are taken
    // in document order whatever their names; a comment counts as a child
    // and gives an empty rectangle.
    if (const TLumoXMLTag* chars = FindXmlTag(r.Element(), "Chars")) {
        int index = 0;
        for (int32_t i = 0; i < chars->Count() && index < tcCount; ++i) {
            const TLumoXMLItem* child = chars->Item(i);
            if (child->IsTag()) {
                const ElementReader glyph("Chars", static_cast<const TLumoXMLTag*>(child));
                TKSPoint pos;
                TKSSize size;
                glyph.Point("SkinPos", pos);
                glyph.Size("Size", size);
                time.Chars[index++] = {size.Width, size.Height, pos.X, pos.Y};
            } else if (child->Kind() == TLumoXMLItemKind::Comment) {
                time.Chars[index++] = {};
            }
        }
    }
    time.SkinBorder = r.Byte("SkinBorder", "Border");
    time.FormBorder = r.Byte("FormBorder", "Border");
}

void ReadAnalyzer(const TLumoXMLTag* section, TKSAnalyzer& a)
{
    const ElementReader r(section, "Analyzer");
    r.Point("FormPos", a.FormPos);
    r.Point("SkinPos", a.SkinPos);
    r.Size("Size", a.Size);
    a.Visible = r.Flag("Visible");
    a.PeakColor = r.Color("PeakColor");
    a.LineColor = r.Color("LineColor");
    // Lines and bars lie side by side: no more of them than pixels.
    a.NumLines = r.Extent("Spectrum", "NumLines");
    a.NumBars = r.Extent("Spectrum", "NumBars");
    a.SpectrumHeight = r.Extent("Spectrum", "Height");
    a.BarWidth = r.Extent("BarWidth", "Width");
    a.Align = SpectrumAlignFromStr(r.Text("Spectrum", "Align", u"DownToUp"));
}

void ReadScrollLabel(const TLumoXMLTag* section, TKSScrollLabel& label)
{
    const ElementReader r(section, "Scrolllabel");
    r.Point("FormPos", label.FormPos);
    r.Size("Size", label.Size);
    label.FontName = r.Text("Font", "Face", u"");
    label.FontSize = r.FontSize("Font");
    label.FontColor = r.Color("Font");
}

std::u16string FaceOf(const ElementReader& r, std::string_view child)
{
    return r.Text(child, "Face", u"").substr(0, 50);
}

// A style outside 0..last leaves the field as it is.
void ReadStyle(const ElementReader& r, std::string_view child, int last, uint8_t& style, gdi::Color& color)
{
    const int32_t value = r.Int(child, "Style");
    if (value >= 0 && value <= last)
        style = static_cast<uint8_t>(value);
    color = r.Color(child);
}

void ReadPlaylistEditor(const TLumoXMLTag* section, TKSPlaylistEditor& e)
{
    const ElementReader r(section, "PlaylistEditor");
    r.Borders("Borders", e.Borders);
    e.FontName = FaceOf(r, "Font");
    e.FontSize = r.FontSize("Font");
    const ElementReader colors("PlaylistEditor/TextColors", FindXmlTag(r.Element(), "TextColors"));
    e.NormalTextColor = colors.Color("Normal");
    e.SelectedTextColor = colors.Color("Selected");
    e.PlayedTextColor = colors.Color("Played");
    const ElementReader styles("PlaylistEditor/BorderStyles", FindXmlTag(r.Element(), "BorderStyles"));
    ReadStyle(styles, "NormalBgStyle", 7, e.NormalBgStyle, e.NormalBgColor);
    ReadStyle(styles, "SelectedBgStyle", 7, e.SelectedBgStyle, e.SelectedBgColor);
    ReadStyle(styles, "NormalStyle", 5, e.NormalPenStyle, e.NormalPenColor);
    ReadStyle(styles, "SelectedStyle", 5, e.SelectedPenStyle, e.SelectedPenColor);
}

void ReadStatusBar(const TLumoXMLTag* section, TKSStatusBar& bar)
{
    const ElementReader r(section, "Statusbar");
    r.Point("SkinPos", bar.SkinPos);
    r.Size("Size", bar.Size);
    bar.Align = StatusBarAlignFromStr(r.Text("Align", "Align", u"Top"));
    bar.FontName = FaceOf(r, "Font");
    bar.FontSize = r.FontSize("Font");
    bar.FontColor = r.Color("Font");
    bar.Visible = r.Flag("Visible");
}

void ReadFileTypeIcons(const TLumoXMLTag* section, TKSFileTypeIcons& icons)
{
    const ElementReader r(section, "FileTypeIcons");
    r.Point("SkinPos", icons.SkinPos);
    r.Size("Size", icons.Size);
    icons.SkinBorder = r.Byte("SkinBorder", "Border");
}

void ReadMain(const TLumoXMLTag* s, TKSMain& m)
{
    ReadSkinFormXml(s, "Form", m.Form);
    ReadSkinCaptionBarXml(s, "CaptionBar", m.CaptionBar);
    ReadSkinButtonXml(s, "CloseButton", m.CloseButton);
    ReadSkinButtonXml(s, "MinimizeButton", m.MinimizeButton);
    ReadAnalyzer(s, m.Analyzer);
    ReadSkinImageXml(s, "ScrolllabelBackground", m.ScrolllabelBackground);
    ReadScrollLabel(s, m.Scrolllabel);
    ReadSkinBarXml(s, "ProgressBar", m.ProgressBar);
    ReadSkinSeekBarXml(s, "ProgressSeekBar", m.ProgressSeekBar);
    ReadSkinButtonXml(s, "RewindButton", m.RewindButton);
    ReadSkinButtonXml(s, "PlayButton", m.PlayButton);
    ReadSkinButtonXml(s, "PauseButton", m.PauseButton);
    ReadSkinButtonXml(s, "StopButton", m.StopButton);
    ReadSkinButtonXml(s, "ForwardButton", m.ForwardButton);
    ReadSkinButtonXml(s, "EjectButton", m.EjectButton);
    ReadSkinBarXml(s, "Volume", m.Volume);
    ReadSkinSeekBarXml(s, "VolumeSeekBar", m.VolumeSeekBar);
    ReadSkinSeekBarXml(s, "Balance", m.Balance);
    ReadSkinCheckboxXml(s, "MuteCheckbox", m.MuteCheckbox);
    ReadSkinCheckboxXml(s, "PlaymodeCheckbox", m.PlaymodeCheckbox);
    ReadSkinCheckboxXml(s, "AutofullscreenCheckbox", m.AutofullscreenCheckbox);
    ReadSkinCheckboxXml(s, "AutoVideoResizeCheckbox", m.AutoVideoResizeCheckbox);
    ReadSkinCheckboxXml(s, "PlaylistCheckbox", m.PlaylistCheckbox);
    ReadSkinCheckboxXml(s, "EqualizerCheckbox", m.EqualizerCheckbox);
    ReadSkinButtonXml(s, "ConfigButton", m.ConfigButton);
    ReadSkinTimeXml(s, "Time", m.Time);
    ReadSkinIconXml(s, "StatusIconReady", m.StatusIconReady);
    ReadSkinIconXml(s, "StatusIconStop", m.StatusIconStop);
    ReadSkinIconXml(s, "StatusIconPlay", m.StatusIconPlay);
    ReadSkinIconXml(s, "StatusIconPause", m.StatusIconPause);
    ReadSkinIconXml(s, "StatusIconWait", m.StatusIconWait);
    ReadSkinImageXml(s, "PopupBackground", m.PopupBackground);
}

void ReadPlaylist(const TLumoXMLTag* s, TKSPlaylist& p)
{
    ReadSkinResizeFormXml(s, "ResizeForm", p.ResizeForm);
    ReadSkinImageXml(s, "Resizer", p.Resizer);
    ReadSkinCaptionBarXml(s, "CaptionBar", p.CaptionBar);
    ReadPlaylistEditor(s, p.PlaylistEditor);
    ReadSkinScrollBarXml(s, "Scrollbar", p.Scrollbar);
    ReadSkinImageXml(s, "PopupBackground", p.PopupBackground);
    ReadStatusBar(s, p.Statusbar);
    ReadFileTypeIcons(s, p.FileTypeIcons);
}

void ReadMediaControls(const TLumoXMLTag* s, TKSMediaControls& mc)
{
    ReadSkinFormXml(s, "Form", mc.Form);
    ReadSkinCaptionBarXml(s, "CaptionBar", mc.CaptionBar);
    ReadSkinSeekBarXml(s, "SpeedSeekBar", mc.SpeedSeekBar);
    for (int band = 0; band < 10; ++band)
        ReadSkinSeekBarXml(s, "Equalizer" + std::to_string(band), mc.Equalizer[band]);
    ReadSkinImageXml(s, "PopupBackground", mc.PopupBackground);
}

void ReadVideo(const TLumoXMLTag* s, TKSVideo& v)
{
    ReadSkinResizeFormXml(s, "ResizeForm", v.ResizeForm);
    ReadSkinImageXml(s, "Resizer", v.Resizer);
    ReadSkinCaptionBarXml(s, "CaptionBar", v.CaptionBar);
    ElementReader(s, "VideoWindow").Borders("Borders", v.VideoWindow);
    ReadSkinImageXml(s, "VideoPopupBackground", v.VideoPopupBackground);
    ReadSkinImageXml(s, "DVDPopupBackground", v.DVDPopupBackground);
}

void ReadFullscreenControl(const TLumoXMLTag* s, TKSVideoFullscreenControl& f)
{
    ReadSkinFormXml(s, "Form", f.Form);
    f.Align = BarPositionFromStr(ElementReader(s, "Form").Text("Align", "Align", u"TopLeft"));
    ReadSkinButtonXml(s, "CloseButton", f.CloseButton);
    ReadSkinImageXml(s, "ScrolllabelBackground", f.ScrolllabelBackground);
    ReadScrollLabel(s, f.Scrolllabel);
    ReadSkinBarXml(s, "ProgressBar", f.ProgressBar);
    ReadSkinSeekBarXml(s, "ProgressSeekBar", f.ProgressSeekBar);
    ReadSkinButtonXml(s, "RewindButton", f.RewindButton);
    ReadSkinButtonXml(s, "PlayButton", f.PlayButton);
    ReadSkinButtonXml(s, "PauseButton", f.PauseButton);
    ReadSkinButtonXml(s, "StopButton", f.StopButton);
    ReadSkinButtonXml(s, "ForwardButton", f.ForwardButton);
    ReadSkinBarXml(s, "Volume", f.Volume);
    ReadSkinSeekBarXml(s, "VolumeSeekBar", f.VolumeSeekBar);
    ReadSkinCheckboxXml(s, "MuteCheckbox", f.MuteCheckbox);
    ReadSkinTimeXml(s, "Time", f.Time);
}

template <typename Section, typename Read>
void ReadSection(const TLumoXMLItem& root, std::string_view name, Section& section, Read read)
{
    if (const TLumoXMLTag* tag = FindXmlTagByPath(&root, "KolvarinSkin/Forms/" + std::string(name)))
        read(tag, section);
}

int IndexOfName(std::u16string_view text, std::initializer_list<std::u16string_view> names)
{
    const std::u16string lower = Lower(text);
    int index = 0;
    for (std::u16string_view name : names) {
        if (lower == Lower(name))
            return index;
        ++index;
    }
    return -1;
}

} // namespace

bool SkinIntFromStr(std::u16string_view text, int32_t& value)
{
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t'))
        text.remove_suffix(1);
    if (text.empty() || text.size() > 16)
        return false;
    std::string ascii;
    for (char16_t c : text) {
        if (c > 0x7F)
            return false;
        ascii += static_cast<char>(c);
    }
    const char* first = ascii.data();
    const char* last = first + ascii.size();
    if (*first == '+' && last - first > 1 && first[1] != '-')
        ++first;
    const auto [end, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && end == last;
}

bool SkinColorFromStr(std::u16string_view text, gdi::Color& color)
{
    uint8_t parts[3] = {0, 0, 0};
    size_t start = 0;
    for (int i = 0; i < 3 && start <= text.size(); ++i) {
        const size_t comma = std::min(text.find(u',', start), text.size());
        int32_t value = 0;
        if (!SkinIntFromStr(text.substr(start, comma - start), value))
            return false;
        parts[i] = static_cast<uint8_t>(value);
        start = comma + 1;
    }
    color = gdi::RGB(parts[0], parts[1], parts[2]);
    return true;
}

uint8_t BarAlignFromStr(std::u16string_view text)
{
    const int index = IndexOfName(text, {u"LeftToRight", u"RightToLeft", u"DownToUp", u"UpToDown"});
    return static_cast<uint8_t>(index < 0 ? baLeftToRight : index);
}

uint8_t SeekBarAlignFromStr(std::u16string_view text)
{
    const int index = IndexOfName(text, {u"UpToDown", u"DownToUp", u"LeftToRight", u"RightToLeft"});
    return static_cast<uint8_t>(index < 0 ? sbaLeftToRight : index);
}

uint8_t SpectrumAlignFromStr(std::u16string_view text) { return IndexOfName(text, {u"RightToLeft"}) == 0 ? 1 : 0; }

uint8_t StatusBarAlignFromStr(std::u16string_view text) { return IndexOfName(text, {u"Bottom"}) == 0 ? 1 : 0; }

uint8_t BarPositionFromStr(std::u16string_view text)
{
    const int index = IndexOfName(text, {u"TopLeft", u"Top", u"TopRight", u"Left", u"Right", u"Center", u"BottomLeft",
                                         u"Bottom", u"BottomRight"});
    return static_cast<uint8_t>(index < 0 ? bpTopLeft : index);
}

TKSkinReadResult ReadSkinXml(TKGUI& skin, TLumoStream& source)
{
    TLumoXML document;
    if (!document.Parse(source))
        return {TKSkinReadStatus::NotParsed, document.LastResult().Description()};
    const TLumoXMLItem& root = document.Root;
    try {
        if (const TLumoXMLTag* common = FindXmlTagByPath(&root, "KolvarinSkin/Common"))
            skin.TransparentColor = ElementReader("Common", common).Color("TransparentColor");
        ReadSection(root, "Main", skin.Main, ReadMain);
        ReadSection(root, "Playlist", skin.Playlist, ReadPlaylist);
        ReadSection(root, "MediaControls", skin.MediaControls, ReadMediaControls);
        ReadSection(root, "Video", skin.Video, ReadVideo);
        ReadSection(root, "VideoFullscreenControl", skin.VideoFullscreenControl, ReadFullscreenControl);
    } catch (const BadNumber& e) {
        return {TKSkinReadStatus::BadNumber, e.text};
    }
    return {};
}

TKSkinReadResult LoadSkinXmlFromFile(TKGUI& skin, const std::string& fileName)
{
    std::string bytes;
    if (!ReadWholeFile(fileName, bytes, kMaxDescriptionBytes))
        return {TKSkinReadStatus::CannotOpen, "cannot read " + fileName};
    TLumoStream stream;
    if (!bytes.empty() && stream.Write(bytes.data(), static_cast<int32_t>(bytes.size())) == 0)
        return {TKSkinReadStatus::CannotOpen, "cannot read " + fileName};
    return ReadSkinXml(skin, stream);
}

} // namespace kolvarin
