#include "forms/debugmenu.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string_view>

#include <QMessageBox>

#include "core/settings/kcodecnames.h"
#include "core/settings/kformatdb.h"
#include "core/settings/ksystemtypes.h"
#include "core/stream/lumostream.h"
#include "core/system/kfilesave.h"
#include "core/system/kfiletypes.h"
#include "core/system/kglobals.h"
#include "core/system/kpaths.h"
#include "core/text/klanguage.h"
#include "core/text/kstrings.h"
#include "core/xml/lumoxml.h"

namespace kolvarin {

namespace {

// What the lists call each type; the description adds the file mask.
constexpr std::pair<std::string_view, std::string_view> kTypeNames[] = {
    {".WAV", "Wavestream"},
    {".MP1", "MPEG Layer 1"},
    {".MP2", "MPEG Layer 2"},
    {".MP3", "MPEG Layer 3"},
    {".OGG", "Ogg Vorbis"},
    {".MPC", "Musepack"},
    {".MPP", "Musepack"},
    {".MP+", "Musepack"},
    {".APE", "Monkey's Audio"},
    {".MAC", "Monkey's Audio"},
    {".AAC", "Advanced Audio Coding"},
    {".M4A", "MPEG-4 Audio"},
    {".AC3", "Dolby Digital AC-3"},
    {".FLAC", "Free Lossless Audio Codec"},
    {".FLA", "Free Lossless Audio Codec"},
    {".WV", "WavPack"},
    {".TTA", "True Audio"},
    {".OFR", "OptimFROG"},
    {".OFS", "OptimFROG DualStream"},
    {".AIF", "Audio Interchange File Format"},
    {".AIFC", "Audio Interchange File Format (compressed)"},
    {".AIFF", "Audio Interchange File Format"},
    {".AU", "Sun Audio"},
    {".SND", "Sun Audio"},
    {".MID", "MIDI"},
    {".MIDI", "MIDI"},
    {".MPA", "MPEG Audio"},
    {".RMI", "RIFF MIDI"},
    {".WAX", "Windows Media Audio Redirector"},
    {".WMA", "Windows Media Audio"},
    {".UMX", "Unreal Music Package"},
    {".RA", "RealAudio"},
    {".MOD", "Module (ProTracker)"},
    {".S3M", "Module (Scream Tracker 3)"},
    {".XM", "Module (FastTracker 2)"},
    {".IT", "Module (Impulse Tracker)"},
    {".IMF", "Module (Imago Orpheus)"},
    {".MT2", "Module (MadTracker 2)"},
    {".BRT", "Module (Brett's Tracker)"},
    {".669", "Module (Composer 669)"},
    {".STM", "Module (Scream Tracker 2)"},
    {".MTM", "Module (MultiTracker)"},
    {".OKT", "Module (Oktalyzer)"},
    {".WOW", "Module (Mod's Grave)"},
    {".ASF", "Advanced Systems Format"},
    {".AVI", "Audio Video Interleave"},
    {".DIVX", "DivX video"},
    {".M1V", "MPEG-1 video"},
    {".M2V", "MPEG-2 video"},
    {".MP2V", "MPEG-2 video"},
    {".MPE", "MPEG video"},
    {".MPEG", "MPEG video"},
    {".MPG", "MPEG video"},
    {".3GP", "3GPP multimedia"},
    {".WM", "Windows Media"},
    {".WMF", "Windows Media"},
    {".WMV", "Windows Media Video"},
    {".WMP", "Windows Media Player file"},
    {".WMX", "Windows Media Redirector"},
    {".WVX", "Windows Media Video Redirector"},
    {".MOV", "QuickTime movie"},
    {".QT", "QuickTime movie"},
    {".DAT", "Video CD track"},
    {".RM", "RealMedia"},
    {".RMVB", "RealMedia (variable bitrate)"},
    {".RV", "RealVideo"},
    {".OGM", "Ogg Media"},
    {".MKV", "Matroska video"},
    {".XVID", "XviD video"},
    {".VOB", "DVD video object"},
    {".VRO", "DVD video recording"},
    {".MP4", "MPEG-4 video"},
    {".TS", "MPEG transport stream"},
    {".BIK", "Bink video"},
    {".SMK", "Smacker video"},
    {".FLV", "Flash video"},
    {".IFO", "DVD information"},
    {".DTS", "DTS audio"},
    {".CDA", "Audio CD track"},
    {".KPL", "Kolvarin playlist"},
    {".PLS", "Shoutcast playlist"},
    {".M3U", "Winamp playlist"},
};

// Types our own decoders play; the others need FFmpeg's codecs or are not
// played at all (OptimFROG).
bool PlaysBuiltIn(TKFileTypeGroup group, std::string_view ext)
{
    switch (group) {
    case TKFileTypeGroup::BassFiles: return ext != ".OFR" && ext != ".OFS";
    case TKFileTypeGroup::CD:
    case TKFileTypeGroup::Playlists: return true;
    default: return false;
    }
}

// Letter case of the ASCII letters only, as the tables hold them.
std::string AsciiCase(std::string text, int (*change)(int))
{
    std::transform(text.begin(), text.end(), text.begin(), [change](unsigned char c) {
        return c < 0x80 ? static_cast<char>(change(c)) : static_cast<char>(c);
    });
    return text;
}

std::string Description(std::string_view ext)
{
    std::string_view name = ext;
    for (const auto& [known, text] : kTypeNames)
        if (known == ext)
            name = text;
    return std::string(name) + " (*" + AsciiCase(std::string(ext), std::tolower) + ")";
}

std::optional<TSystemType> TypeOf(TKFileTypeGroup group)
{
    switch (group) {
    case TKFileTypeGroup::BassFiles: return TSystemType::BassFile;
    case TKFileTypeGroup::DirectXAudio: return TSystemType::DirectXAudio;
    case TKFileTypeGroup::DirectXVideo: return TSystemType::DirectXVideo;
    case TKFileTypeGroup::DVD: return TSystemType::DVD;
    case TKFileTypeGroup::CD: return TSystemType::CDTrack;
    case TKFileTypeGroup::Playlists: return std::nullopt;
    }
    return std::nullopt;
}

std::string Lines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

void SaveLines(const std::string& fileName, const std::vector<std::string>& lines)
{
    SaveFileAtomically(fileName, Lines(lines));
}

void SaveXml(TLumoXML& doc, const std::string& fileName)
{
    TLumoStream stream;
    if (!doc.Write(stream))
        throw std::runtime_error("the document for \"" + fileName + "\" is too large");
    SaveFileAtomically(fileName,
                       std::string_view(reinterpret_cast<const char*>(stream.Data()), size_t(stream.GetSize())));
}

// The database document with its declaration; returns the Formats tag.
TLumoXMLTag& NewFormatDB(TLumoXML& doc)
{
    auto* declaration = doc.Root.Add(std::make_unique<TLumoXMLProcessTag>("xml"));
    declaration->AddParameter("version", u"1.0");
    declaration->AddParameter("encoding", u"UTF-8");
    declaration->AddParameter("standalone", u"yes");
    auto* root = doc.Root.Add(std::make_unique<TLumoXMLTag>("KolvarinFormatDB"));
    root->AddParameter("Version", Utf8ToUtf16(VersionText));
    return *root->Add(std::make_unique<TLumoXMLTag>("Formats"));
}

std::string DatabaseFolder(const std::string& applicationPath)
{
    const std::string folder = applicationPath + "data/db/";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec)
        throw std::runtime_error("cannot create \"" + folder + "\": " + ec.message());
    return folder;
}

} // namespace

std::vector<TKFileTypeRow> FileTypeRows(TKFileTypeGroup group)
{
    const std::optional<TSystemType> type = TypeOf(group);
    std::vector<TKFileTypeRow> rows;
    for (const TKRegisteredType& registered : RegisteredFileTypes()) {
        // Playlists are the untyped rows but the skin packages.
        const bool inGroup =
            type ? registered.Type == *type : registered.Type == TSystemType::None && registered.Extension != ".KSKZ";
        if (inGroup)
            rows.push_back({registered.Extension, registered.IconFile, Description(registered.Extension),
                            PlaysBuiltIn(group, registered.Extension)});
    }
    return rows;
}

void CreateFiletypeFile(const std::string& userPath)
{
    std::vector<std::string> builtIn, codecs;
    for (TKFileTypeGroup group : kFileTypeGroups)
        for (const TKFileTypeRow& row : FileTypeRows(group))
            (row.BuiltIn ? builtIn : codecs).push_back(row.Description);
    std::sort(builtIn.begin(), builtIn.end());
    std::sort(codecs.begin(), codecs.end());
    std::vector<std::string> lines{"Out-Of-The-Box:"};
    lines.insert(lines.end(), builtIn.begin(), builtIn.end());
    lines.push_back("Codec based:");
    lines.insert(lines.end(), codecs.begin(), codecs.end());
    SaveLines(userPath + "filetypes.txt", lines);
}

void CreateFiletypeFeatureFiles(const std::string& userPath)
{
    using G = TKFileTypeGroup;
    const std::pair<const char*, std::vector<G>> exports[] = {
        {"Audio", {G::BassFiles, G::DirectXAudio, G::CD}},
        {"Video", {G::DirectXVideo, G::DVD}},
        {"Playlists", {G::Playlists}},
    };
    for (const auto& [name, groups] : exports) {
        std::vector<TKFileTypeRow> items;
        for (G group : groups)
            for (TKFileTypeRow& row : FileTypeRows(group))
                items.push_back(std::move(row));
        std::stable_sort(items.begin(), items.end(),
                         [](const TKFileTypeRow& a, const TKFileTypeRow& b) { return a.Extension < b.Extension; });
        std::vector<std::string> lines{"Fileype\tDescription\tBuilt-in"};
        for (const TKFileTypeRow& item : items)
            lines.push_back(item.Extension + "\t" + item.Description + "\t" + (item.BuiltIn ? "Yes" : "No"));
        SaveLines(userPath + "format_" + name + "_export.csv", lines);
    }
}

void CheckIcons(const std::string& applicationPath, const std::string& userPath)
{
    std::set<std::string> missing;
    for (TKFileTypeGroup group : kFileTypeGroups)
        for (const TKFileTypeRow& row : FileTypeRows(group))
            if (std::error_code ec;
                !std::filesystem::is_regular_file(applicationPath + "data/icons/" + row.IconFile, ec))
                missing.insert(row.IconFile);
    SaveLines(userPath + "iconswofehlen.txt", std::vector<std::string>(missing.begin(), missing.end()));
}

void GenVideoFormatsDB(const std::string& applicationPath)
{
    const std::string folder = DatabaseFolder(applicationPath);
    TKFormatDatabase table;
    SetDefaultVideoFormats(table);
    // A look-up gives a code its first name in the table; codes from 2^31 on
    // were never asked for.
    std::map<uint32_t, std::string> named;
    for (int i = 0; i < table.GetCount(); ++i)
        if (const TKFormatDBEntry& entry = table.GetItem(i); entry.Code < 0x80000000u)
            named.emplace(entry.Code, entry.Description);
    std::vector<TKFormatDBEntry> items;
    for (const auto& [code, name] : named)
        items.push_back({code, AsciiCase(FourCCToString(code), std::toupper), name});
    std::stable_sort(items.begin(), items.end(),
                     [](const TKFormatDBEntry& a, const TKFormatDBEntry& b) { return a.CharCode < b.CharCode; });

    TLumoXML doc;
    TLumoXMLTag& formats = NewFormatDB(doc);
    for (const TKFormatDBEntry& item : items) {
        auto* format = formats.Add(std::make_unique<TLumoXMLTag>("Format"));
        format->AddParameter("CharCode", AnsiToUtf16(item.CharCode));
        format->AddParameter("Description", AnsiToUtf16(item.Description));
    }
    SaveXml(doc, folder + "videoformats.xml");
}

void GenAudioFormatsDB(const std::string& applicationPath)
{
    const std::string folder = DatabaseFolder(applicationPath);
    TLumoXML doc;
    TLumoXMLTag& formats = NewFormatDB(doc);
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (uint32_t code = 0; code <= 0xFFFF; ++code) {
        const std::string name = BuiltinAudioCodecName(code);
        if (name.compare(0, 7, "Unknown") == 0)
            continue;
        std::u16string hex = u"$";
        for (int shift = 12; shift >= 0; shift -= 4)
            hex += static_cast<char16_t>(kHex[(code >> shift) & 0xF]);
        auto* format = formats.Add(std::make_unique<TLumoXMLTag>("Format"));
        format->AddParameter("HexCode", hex);
        format->AddParameter("Description", AnsiToUtf16(name));
    }
    SaveXml(doc, folder + "audioformats.xml");
}

void GenDefaultFormatsCode(const TKFormatDatabase& db, const std::string& fileName)
{
    std::vector<std::string> lines;
    for (int i = 0; i < db.GetCount(); ++i) {
        const TKFormatDBEntry& entry = db.GetItem(i);
        lines.push_back("  AddEntry(" + std::to_string(static_cast<int32_t>(entry.Code)) + ", '" + entry.Description +
                        "');");
    }
    SaveLines(fileName, lines);
}

TKDebugMenu::TKDebugMenu(QMenu& menu) : QObject(&menu), menu_(menu)
{
    CreateFiletypefile1 =
        AddItem(QStringLiteral("Create filetype file for readme (debug)"), [] { CreateFiletypeFile(UserPath); });
    Createfiletypeforfeaturesdebug1 =
        AddItem(QStringLiteral("Create filetype for features (debug)"), [] { CreateFiletypeFeatureFiles(UserPath); });
    Checkicons1 = AddItem(QStringLiteral("Check icons (debug)"), [] { CheckIcons(ApplicationPath, UserPath); });
    Genvideoformatsdb1 = AddItem(QStringLiteral("Gen video formats db"), [this] {
        GenVideoFormatsDB(ApplicationPath);
        Message(QStringLiteral("Video format db is generated successfully."));
    });
    Genaudioformatsdb1 = AddItem(QStringLiteral("Gen audio formats db"), [this] {
        GenAudioFormatsDB(ApplicationPath);
        Message(QStringLiteral("Audio format db is generated successfully."));
    });
    Gendefaultvideoformatsdb1 = AddItem(QStringLiteral("Gen default video formats db (code)"), [] {
        if (VideoFormatDB)
            GenDefaultFormatsCode(*VideoFormatDB, UserPath + "default_video_formats_definition_code.txt");
    });
    Getdefaultaudioformatsdbcode1 = AddItem(QStringLiteral("Get default audio formats db (code)"), [] {
        if (AudioFormatDB)
            GenDefaultFormatsCode(*AudioFormatDB, UserPath + "default_audio_formats_definition_code.txt");
    });
    Savecurrentlanguagetoxml1 = AddItem(QStringLiteral("Save current language to xml"), [this] {
        SaveLanguageFile(Language, UserPath + "current language.xml");
        Message(QStringLiteral("Language saved in \"%1\"").arg(QString::fromStdString(UserPath)));
    });
}

QAction* TKDebugMenu::AddItem(const QString& caption, std::function<void()> run)
{
    QAction* item = menu_.addAction(caption);
    // An exception must not cross the event loop: the failure is reported
    // here and the program goes on.
    QObject::connect(item, &QAction::triggered, this, [this, caption, run = std::move(run)] {
        try {
            run();
        } catch (const std::exception& error) {
            Message(QStringLiteral("%1 failed: %2").arg(caption, QString::fromStdString(error.what())));
        }
    });
    return item;
}

void TKDebugMenu::Message(const QString& text)
{
    if (ShowMessage)
        ShowMessage(text);
    else
        QMessageBox::information(menu_.parentWidget(), QStringLiteral("Kolvarin"), text);
}

} // namespace kolvarin
