#include "core/settings/kconfig.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <span>
#include <stdexcept>
#include <type_traits>
#include <variant>

#include "base/bounds.h"
#include "core/system/ksysinfo.h"
#include "core/text/kstrings.h"
#include "core/xml/kxmlfile_p.h"

#ifndef KOLVARIN_FILE_VERSION
#define KOLVARIN_FILE_VERSION "0.0.0.0"
#endif

namespace kolvarin {

TKConfig* Config = nullptr;
int32_t LastPlayedIndex = -1;
const char* const ConfigFileVersion = KOLVARIN_FILE_VERSION;

namespace {

// Where a key's value lives. uint32_t is the colour; uint8_t with texts is an
// enumeration.
using FieldPtr =
    std::variant<bool*, uint8_t*, int8_t*, int16_t*, int32_t*, float*, uint32_t*, std::string*, std::u16string*>;

// One attribute of config.xml. Default is what SetDefaults gives (nullptr:
// computed), Missing what the reader stores when the element lacks the
// attribute; both are written as the file would hold them.
struct Key {
    const char* Element;
    const char* Child; // the child element that holds the attribute, or nullptr
    const char* Attribute;
    FieldPtr (*Field)(TKConfig&);
    const char* Default;
    const char* Missing;
    std::span<const char* const> Texts = {}; // the enumeration's texts by value
    size_t MaxLength = 0; // 8-bit strings: cut on load; 0 is no limit
    int32_t (*Bound)(int64_t) = nullptr; // sizes, positions and font sizes: the value read is bounded by it
};

constexpr const char* kSpectrumTypes[] = {"Lines", "Bars"};
constexpr const char* kTimeModes[] = {"Elapsed", "Remaining"};
constexpr const char* kOSDPositions[] = {"TopLeft", "Top",        "TopRight", "Left",       "Center",
                                         "Right",   "BottomLeft", "Bottom",   "BottomRight"};
constexpr const char* kAligns[] = {"None", "Left", "Right", "Center"};
constexpr const char* kRatioModes[] = {"Letterbox", "Stretched", "Crop",   "4:3",    "5:4",
                                       "16:9",      "16:10",     "2.35:1", "Userdef"};

#define FIELD(member) [](TKConfig& c) -> FieldPtr { return &c.member; }

// The file's elements in the order they are written; an element's keys stand
// together, its child's keys after its own. The equalizer is written and read
// by hand between LastPlayed... and Ratio (see kEqualizerAfter).
const Key kKeys[] = {
    {"Skin", nullptr, "Name", FIELD(Skin), "base[default]", "", {}, 60},
    {"Language", nullptr, "Name", FIELD(Language), "english[default]", "", {}, 60},
    {"Volume", nullptr, "Value", FIELD(Volume), "5000", "0"},
    {"Balance", nullptr, "Value", FIELD(Balance), "100", "0"},
    {"OFAReadID3Tag", nullptr, "Value", FIELD(OFAReadID3Tag), "false", "false"},
    {"OFAReadTime", nullptr, "Value", FIELD(OFAReadTime), "false", "false"},
    {"PlaylistSize", nullptr, "Width", FIELD(PlaylistSize.Width), "300", "300", {}, 0, BoundedExtent},
    {"PlaylistSize", nullptr, "Height", FIELD(PlaylistSize.Height), "250", "250", {}, 0, BoundedExtent},
    {"PlaylistVis", nullptr, "Value", FIELD(PlaylistVis), "true", "true"},
    // The folder the add dialogs open first; the file-system root stands for a drive root.
    {"LastDir", nullptr, "Path", FIELD(LastDir), "/", ""},
    {"Spectrum", nullptr, "Show", FIELD(Spectrum.Show), "true", "true"},
    {"Spectrum", nullptr, "Type", FIELD(Spectrum.Type), "Bars", "Bars", kSpectrumTypes},
    {"Spectrum", nullptr, "Blur", FIELD(Spectrum.Blur), "true", "true"},
    {"Spectrum", nullptr, "ShowPeaks", FIELD(Spectrum.ShowPeaks), "true", "true"},
    {"Spectrum", nullptr, "PeaksFallOff", FIELD(Spectrum.PeaksFallOff), "1", "1"},
    {"Spectrum", nullptr, "LinesFallOff", FIELD(Spectrum.LinesFallOff), "3", "3"},
    {"TimeMode", nullptr, "Mode", FIELD(TimeMode), "Elapsed", "Elapsed", kTimeModes},
    {"Fader", nullptr, "Count", FIELD(Fader.Count), "1000", "1000"},
    {"Fader", nullptr, "VolumeCount", FIELD(Fader.VolumeCount), "500", "500"},
    {"Fader", nullptr, "Enabled", FIELD(Fader.Enabled), "true", "true"},
    {"Fader", nullptr, "VolumeEnabled", FIELD(Fader.VolumeEnabled), "true", "true"},
    {"OFACheckIsValidFile", nullptr, "Value", FIELD(OFACheckIsValidFile), "true", "true"},
    {"OFAReadPlaylistFiles", nullptr, "Value", FIELD(OFAReadPlaylistFiles), "false", "false"},
    {"MainPos", nullptr, "X", FIELD(MainPos.X), "0", "0", {}, 0, BoundedPosition},
    {"MainPos", nullptr, "Y", FIELD(MainPos.Y), "0", "0", {}, 0, BoundedPosition},
    {"PlaylistPos", nullptr, "X", FIELD(PlaylistPos.X), "300", "300", {}, 0, BoundedPosition},
    {"PlaylistPos", nullptr, "Y", FIELD(PlaylistPos.Y), "0", "0", {}, 0, BoundedPosition},
    {"MediaControlsPos", nullptr, "X", FIELD(MediaControlsPos.X), "0", "0", {}, 0, BoundedPosition},
    {"MediaControlsPos", nullptr, "Y", FIELD(MediaControlsPos.Y), "100", "100", {}, 0, BoundedPosition},
    {"PlayMode", nullptr, "Enabled", FIELD(PlayMode.Enabled), "true", "true"},
    {"PlayMode", nullptr, "Mode", FIELD(PlayMode.Mode), "3", "0"},
    {"MainVis", nullptr, "Value", FIELD(MainVis), "true", "true"},
    {"MediaConVis", nullptr, "Value", FIELD(MediaConVis), "true", "true"},
    {"Speed", nullptr, "Count", FIELD(Speed), "4", "4"},
    {"AutoFullscreen", nullptr, "Value", FIELD(AutoFullscreen), "false", "false"},
    {"AutoVideoResize", nullptr, "Value", FIELD(AutoVideoResize), "true", "true"},
    {"NoScreensaver", nullptr, "Value", FIELD(NoScreensaver), "true", "true"},
    {"HideCursor", nullptr, "Value", FIELD(HideCursor), "true", "true"},
    {"NumTrysURLStream", nullptr, "Trys", FIELD(NumTrysURLStream), "3", "3"},
    {"TryURLTime", nullptr, "MSecs", FIELD(TryURLTime), "1000", "500"},
    {"OFPReadID3Tag", nullptr, "Value", FIELD(OFPReadID3Tag), "true", "true"},
    {"OFPReadTime", nullptr, "Value", FIELD(OFPReadTime), "true", "true"},
    {"MainAlwaysOnTop", nullptr, "Value", FIELD(MainAlwaysOnTop), "false", "false"},
    {"DebugEnabled", nullptr, "Value", FIELD(DebugEnabled), "false", "false"},
    {"CenterVideo", nullptr, "Value", FIELD(CenterVideo), "true", "true"},
    {"ShowKolvarinIn", nullptr, "Index", FIELD(ShowKolvarinIn), "2", "0"},
    {"JumpInterval", nullptr, "Interval", FIELD(JumpInterval), "5000", "5000"},
    {"OSD", nullptr, "Position", FIELD(OSD.Position), "TopLeft", "TopLeft", kOSDPositions},
    {"OSD", nullptr, "Enabled", FIELD(OSD.Enabled), "true", "true"},
    {"OSD", "Font", "Name", FIELD(OSD.Font.Name), "Tahoma", "Tahoma", {}, 60},
    {"OSD", "Font", "Size", FIELD(OSD.Font.Size), "12", "12", {}, 0, BoundedFontSize},
    {"OSD", "Font", "Color", FIELD(OSD.Font.Color), "0,255,0", "0,255,0"},
    {"SLMoveProg", nullptr, "Prog", FIELD(SLMoveProg), "2", "2"},
    {"PLDrawNumbers", nullptr, "Value", FIELD(PLDrawNumbers), "true", "true"},
    {"PLDrawTime", nullptr, "Value", FIELD(PLDrawTime), "true", "true"},
    {"PLDrawFileTypeIcons", nullptr, "Value", FIELD(PLDrawFileTypeIcons), "false", "false"},
    {"SearchHideOnPlay", nullptr, "Value", FIELD(SearchHideOnPlay), "true", "true"},
    {"Mute", nullptr, "Active", FIELD(Mute), "false", "false"},
    {"AutoLiveUpdate", nullptr, "Enabled", FIELD(AutoLiveUpdate), "false", "true"},
    {"BassDevice", nullptr, "Index", FIELD(BassDevice), "1", "0"},
    {"LastPlayed", nullptr, "Index", [](TKConfig&) -> FieldPtr { return &LastPlayedIndex; }, "-1", "-1"},
    {"LastPlayed", nullptr, "Remember", FIELD(LastPlayed.Remember), "true", "true"},
    {"SBTextAlign", nullptr, "Align", FIELD(SBTextAlign), "Left", "Left", kAligns},
    {"Ratio", nullptr, "Mode", FIELD(Ratio.Mode), "Letterbox", "Letterbox", kRatioModes},
    {"Ratio", "User", "X", FIELD(Ratio.User.X), "1", "1"},
    {"Ratio", "User", "Y", FIELD(Ratio.User.Y), "1", "1"},
    {"QxDSPFilterActive", nullptr, "Enabled", FIELD(QxDSPFilterActive), "true", "true"},
    {"VideoColorControls", nullptr, "Brightness", FIELD(VideoColorControls.Brightness), "750", "750"},
    {"VideoColorControls", nullptr, "Contrast", FIELD(VideoColorControls.Contrast), "10000", "10000"},
    {"VideoColorControls", nullptr, "Hue", FIELD(VideoColorControls.Hue), "0", "0"},
    {"VideoColorControls", nullptr, "Saturation", FIELD(VideoColorControls.Saturation), "10000", "10000"},
    {"VideoColorControls", nullptr, "Sharpness", FIELD(VideoColorControls.Sharpness), "5", "5"},
    {"VideoColorControls", nullptr, "Gamma", FIELD(VideoColorControls.Gamma), "1", "1"},
    {"SkinColorBlend", nullptr, "Strength", FIELD(SkinColorBlend.Strength), "0", "0"},
    {"SkinColorBlend", nullptr, "Color", FIELD(SkinColorBlend.Color), "255,255,0", "255,255,0"},
    {"LSAS", nullptr, "AutoChangeTitle", FIELD(LSAS.AutoChangeTitle), "true", "false"},
    {"LSAS", nullptr, "FormatMask", FIELD(LSAS.FormatMask), "%TITLE%", "%TITLE%", {}, 255},
    {"LSAS", nullptr, "OutputPath", FIELD(LSAS.OutputPath), "", ""},
    {"VidDefault", nullptr, "Language", FIELD(VidDefault.Language), "-", "-", {}, 60},
    {"VidDefault", nullptr, "Subtitle", FIELD(VidDefault.Subtitle), "-", "-", {}, 60},
    {"VidDefault", nullptr, "SubtitleFailed", FIELD(VidDefault.SubtitleFailed), "false", "false"},
    {"Speakers", nullptr, "Count", FIELD(Speakers), "2", "2"},
    {"SwapMemoryMngt", nullptr, "Enabled", FIELD(SwapMemoryMngt), "true", "true"},
    {"VideoFSControlActive", nullptr, "Enabled", FIELD(VideoFSControlActive), "true", "true"},
    {"DVDGraph", nullptr, "Name", FIELD(DVDGraph), "Kolvarin Codec Pack", ""},
    {"PLOnDragDropMode", nullptr, "Mode", FIELD(PLOnDragDropMode), "1", "1"},
    {"NewsWindowOnStartUp", nullptr, "Show", FIELD(NewsWindowOnStartUp), "true", "true"},
    {"NewsWindowShowNewOnly", nullptr, "Show", FIELD(NewsWindowShowNewOnly), "true", "true"},
    {"EnableMediaKeys", nullptr, "Enabled", FIELD(EnableMediaKeys), "true", "true"},
    {"DSGraphFallback", nullptr, "Enabled", FIELD(DSGraphFallback), "true", "true"},
    {"AcceptAllFiles", nullptr, "Value", FIELD(AcceptAllFiles), "false", "true"},
    {"VideoFSForceDisplay", nullptr, "MonitorIndex", FIELD(VideoFSForceDisplay), "-1", "1"},
    {"LatestNews", nullptr, "ID", FIELD(LatestNews), "", ""},
    {"NewsServer", nullptr, "Host", FIELD(NewsServer.Host), "www.kolvarin.org", "www.kolvarin.org"},
    {"NewsServer", nullptr, "Port", FIELD(NewsServer.Port), "80", "80"},
    {"NewsServer", nullptr, "Path", FIELD(NewsServer.Path), "/shared/newsupdate/currentnews.xml",
     "/shared/newsupdate/currentnews.xml"},
    {"MouseWheelControlOnFocus", nullptr, "Select", FIELD(MouseWheelControlOnFocus), "1", "1"},
    {"PLEnableDirectMove", nullptr, "Enabled", FIELD(PLEnableDirectMove), "true", "true"},
    {"NetPrebuffer", nullptr, "Amount", FIELD(NetPrebuffer), "0", "0"},
    {"AudioPlaybackPriority", nullptr, "Priority", FIELD(AudioPlaybackPriority.Priority), "2", "2"},
    {"AudioPlaybackPriority", nullptr, "UseMulticore", FIELD(AudioPlaybackPriority.UseMulticore), nullptr, "true"},
    {"Notifications", nullptr, "ShowMediaInfoBalloon", FIELD(Notifications.ShowMediaInfoBalloon), "true", "false"},
    {"Notifications", nullptr, "ShowMediaInfoOSD", FIELD(Notifications.ShowMediaInfoOSD), "true", "true"},
    {"Notifications", nullptr, "ShowMsgBoxOnProblems", FIELD(Notifications.ShowMsgBoxOnProblems), "false", "false"},
    {"Notifications", nullptr, "ShowBalloonOnProblems", FIELD(Notifications.ShowBalloonOnProblems), "true", "true"},
    {"Logging", nullptr, "EnableTextFile", FIELD(Logging.EnableTextFile), "false", "true"},
    {"Logging", nullptr, "EnableHistory", FIELD(Logging.EnableHistory), "true", "true"},
    {"SplashScreen", nullptr, "Show", FIELD(SplashScreen), "true", "true"},
};

#undef FIELD

// The equalizer element is written right before this element.
constexpr const char* kEqualizerBefore = "Ratio";
constexpr int32_t kBandDefault = 12;

[[noreturn]] void conversionError(std::u16string_view text, const char* what)
{
    throw std::runtime_error("'" + Utf16ToUtf8(text) + "' is not a valid " + what + " value");
}

std::string narrow(std::u16string_view text)
{
    std::string out;
    for (char16_t c : text)
        out += c < 128 ? static_cast<char>(c) : '\x7F';
    return out;
}

int32_t toInteger(std::u16string_view text)
{
    const std::string s = narrow(text);
    const char* first = s.data();
    if (!s.empty() && s[0] == '+')
        ++first;
    int32_t value = 0;
    auto [end, error] = std::from_chars(first, s.data() + s.size(), value);
    if (s.empty() || error != std::errc() || end != s.data() + s.size())
        conversionError(text, "integer");
    return value;
}

// Written with '.', whatever the locale; read with '.' or ','.
float toSingle(std::u16string_view text)
{
    std::string s = narrow(text);
    for (char& c : s)
        if (c == ',')
            c = '.';
    const char* first = s.data();
    if (!s.empty() && s[0] == '+')
        ++first;
    double value = 0;
    auto [end, error] = std::from_chars(first, s.data() + s.size(), value, std::chars_format::general);
    if (s.empty() || error != std::errc() || end != s.data() + s.size() || !std::isfinite(value) ||
        std::fabs(value) > std::numeric_limits<float>::max())
        conversionError(text, "floating point");
    return static_cast<float>(value);
}

std::u16string singleText(float value)
{
    char buffer[64];
    auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value), std::chars_format::general, 15);
    (void)error; // 64 bytes always hold 15 digits
    return AnsiToUtf16(std::string_view(buffer, static_cast<size_t>(end - buffer)));
}

// "%d,%d,%d", each number cut to its low byte; false when the text does not
// hold three numbers.
bool toColor(std::u16string_view text, TColor& color)
{
    const std::string s = narrow(text);
    size_t at = 0;
    uint32_t parts[3] = {};
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            if (at >= s.size() || s[at] != ',')
                return false;
            ++at;
        }
        while (at < s.size() && (s[at] == ' ' || s[at] == '\t'))
            ++at;
        bool negative = false;
        if (at < s.size() && (s[at] == '-' || s[at] == '+'))
            negative = s[at++] == '-';
        const size_t digits = at;
        uint32_t value = 0;
        for (; at < s.size() && s[at] >= '0' && s[at] <= '9'; ++at)
            value = value * 10 + static_cast<uint32_t>(s[at] - '0'); // wraps: only the low byte counts
        if (at == digits)
            return false;
        parts[i] = (negative ? 0u - value : value) & 0xFF;
    }
    color = parts[0] | parts[1] << 8 | parts[2] << 16;
    return true;
}

std::u16string colorText(TColor color)
{
    return AnsiToUtf16(std::to_string(color & 0xFF) + "," + std::to_string(color >> 8 & 0xFF) + "," +
                       std::to_string(color >> 16 & 0xFF));
}

int enumValue(const Key& key, std::u16string_view text)
{
    for (size_t i = 0; i < key.Texts.size(); ++i)
        if (text == AnsiToUtf16(key.Texts[i]))
            return static_cast<int>(i);
    return -1;
}

// Stores a text of the file's form into the key's field.
void assign(TKConfig& config, const Key& key, std::u16string_view text)
{
    std::visit(
        [&](auto* field) {
            using T = std::remove_pointer_t<decltype(field)>;
            if constexpr (std::is_same_v<T, bool>) {
                *field = XmlTextToBool(text);
            } else if constexpr (std::is_same_v<T, float>) {
                *field = toSingle(text);
            } else if constexpr (std::is_same_v<T, TColor>) {
                TColor color = 0;
                if (!toColor(text, color))
                    toColor(AnsiToUtf16(key.Missing), color);
                *field = color;
            } else if constexpr (std::is_same_v<T, std::string>) {
                *field = Utf16ToAnsi(text);
                if (key.MaxLength > 0 && field->size() > key.MaxLength)
                    field->resize(key.MaxLength);
            } else if constexpr (std::is_same_v<T, std::u16string>) {
                *field = text;
            } else if (!key.Texts.empty()) {
                // An unknown text keeps the value of a missing attribute.
                int value = enumValue(key, text);
                *field = static_cast<T>(value >= 0 ? value : enumValue(key, AnsiToUtf16(key.Missing)));
            } else {
                // Narrower fields take the low bits, as an assignment would.
                const int32_t value = toInteger(text);
                *field = static_cast<T>(key.Bound ? key.Bound(value) : value);
            }
        },
        key.Field(config));
}

// The key's value as the file holds it; false for an enumeration value that
// has no text (its attribute is then left out).
bool valueText(TKConfig& config, const Key& key, std::u16string& text)
{
    return std::visit(
        [&](auto* field) {
            using T = std::remove_pointer_t<decltype(field)>;
            if constexpr (std::is_same_v<T, bool>) {
                text = XmlBoolText(*field);
            } else if constexpr (std::is_same_v<T, float>) {
                text = singleText(*field);
            } else if constexpr (std::is_same_v<T, TColor>) {
                text = colorText(*field);
            } else if constexpr (std::is_same_v<T, std::string>) {
                text = AnsiToUtf16(*field);
            } else if constexpr (std::is_same_v<T, std::u16string>) {
                text = *field;
            } else if (!key.Texts.empty()) {
                if (static_cast<size_t>(*field) >= key.Texts.size())
                    return false;
                text = AnsiToUtf16(key.Texts[static_cast<size_t>(*field)]);
            } else {
                text = AnsiToUtf16(std::to_string(static_cast<int64_t>(*field)));
            }
            return true;
        },
        key.Field(config));
}

bool sameName(const char* a, const char* b) { return a == b || (a && b && std::string_view(a) == b); }

void readEqualizer(TKConfig& config, const TLumoXMLTag& element)
{
    for (int32_t i = 0; i < element.Count(); ++i) {
        const TLumoXMLItem* item = element.Item(i);
        if (item->Kind() != TLumoXMLItemKind::Tag)
            continue;
        const auto* band = static_cast<const TLumoXMLTag*>(item);
        const int32_t id = toInteger(GetXmlAttribute(band, "id", u"-1"));
        if (id < 0 || id > 9)
            continue;
        const int32_t value = toInteger(GetXmlAttribute(band, "Value", u"12"));
        // Band values outside the equalizer's range would reach the audio
        // effects as impossible gains.
        config.Equalizer[id] = std::clamp(value, 0, 24);
    }
}

void writeEqualizer(const TKConfig& config, TLumoXMLTag& root)
{
    TLumoXMLTag* element = AddXmlTag(root, "Equalizer");
    for (int i = 0; i < 10; ++i) {
        TLumoXMLTag* band = AddXmlTag(*element, "Band");
        band->AddParameter("id", AnsiToUtf16(std::to_string(i)));
        band->AddParameter("Value", AnsiToUtf16(std::to_string(config.Equalizer[i])));
    }
}

// Reads every key of one element of the file.
void readElement(TKConfig& config, const TLumoXMLTag& element)
{
    if (element.Name == "Equalizer") {
        readEqualizer(config, element);
        return;
    }
    for (const Key& key : kKeys) {
        if (element.Name != key.Element)
            continue;
        const TLumoXMLTag* holder = key.Child ? FindXmlTag(&element, key.Child) : &element;
        if (!holder)
            continue; // a missing child keeps its values
        const std::u16string* value = FindXmlAttribute(holder, key.Attribute);
        assign(config, key, value ? *value : AnsiToUtf16(key.Missing));
    }
}

} // namespace

void TKConfig::SetDefaults()
{
    for (const Key& key : kKeys)
        if (key.Default)
            assign(*this, key, AnsiToUtf16(key.Default));
    AudioPlaybackPriority.UseMulticore = GetCPUCores() > 1;
    for (int32_t& band : Equalizer)
        band = kBandDefault;
    LSASAutoRecord = false;
    OMProblemsAction = 0;
}

TKConfigLoadResult TKConfig::LoadFromFile(const std::string& fileName)
{
    using enum TKConfigLoadStatus;
    TLumoXML doc;
    if (!LoadXmlFile(fileName, doc)) {
        const TLumoXMLParseResult& parse = doc.LastResult();
        if (parse)
            return {Unreadable, "the file cannot be read"};
        return {NotParsed, std::string(parse.Description()) + " at byte " + std::to_string(parse.Offset)};
    }
    const TLumoXMLTag* root = FindXmlTag(&doc.Root, "KolvarinConfigFile");
    if (!root)
        return {NoRoot, "no KolvarinConfigFile element"};
    for (int32_t i = 0; i < root->Count(); ++i) {
        const TLumoXMLItem* item = root->Item(i);
        if (item->Kind() == TLumoXMLItemKind::Tag)
            readElement(*this, *static_cast<const TLumoXMLTag*>(item));
    }
    return {};
}

void TKConfig::SaveToFile(const std::string& fileName)
{
    TLumoXML doc;
    auto* declaration = doc.Root.Add(std::make_unique<TLumoXMLProcessTag>("xml"));
    declaration->AddParameter("version", u"1.0");
    declaration->AddParameter("encoding", u"UTF-8");
    declaration->AddParameter("standalone", u"yes");
    doc.Root.Add(std::make_unique<TLumoXMLCommentTag>("This file is automatic created by Kolvarin"));
    doc.Root.Add(std::make_unique<TLumoXMLCommentTag>("Do not edit by hand !"));
    TLumoXMLTag* root = AddXmlTag(doc.Root, "KolvarinConfigFile");
    root->AddParameter("Version", AnsiToUtf16(ConfigFileVersion));

    TLumoXMLTag* element = nullptr;
    TLumoXMLTag* child = nullptr;
    const Key* previous = nullptr;
    for (const Key& key : kKeys) {
        if (!previous || !sameName(previous->Element, key.Element)) {
            if (std::string_view(key.Element) == kEqualizerBefore)
                writeEqualizer(*this, *root);
            element = AddXmlTag(*root, key.Element);
            child = nullptr;
        }
        if (key.Child && (!child || child->Name != key.Child))
            child = AddXmlTag(*element, key.Child);
        std::u16string text;
        if (valueText(*this, key, text))
            (key.Child ? child : element)->AddParameter(key.Attribute, std::move(text));
        previous = &key;
    }
    SaveXmlFile(doc, fileName);
}

} // namespace kolvarin
