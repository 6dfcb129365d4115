// The video filter-script table and the accepted-extension list of the
// settings object, with their two files.
#include "core/settings/kconfig.h"
#include "core/settings/ksystemtypes.h"
#include "core/text/kstrings.h"
#include "core/xml/kxmlfile_p.h"

namespace kolvarin {

namespace {

constexpr size_t kMaxRowText = 255;

std::string lowerAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return out;
}

std::string upperAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return out;
}

std::string rowText(const TLumoXMLTag* tag, std::string_view name)
{
    std::string text = Utf16ToAnsi(GetXmlAttribute(tag, name, u""));
    if (text.size() > kMaxRowText)
        text.resize(kMaxRowText);
    return text;
}

// The Entries element under the named root; nullptr when either is missing.
const TLumoXMLTag* findEntries(const TLumoXML& doc, std::string_view rootName)
{
    return FindXmlTag(FindXmlTag(&doc.Root, rootName), "Entries");
}

// Appends the root with its Version and its empty Entries element.
TLumoXMLTag* addEntries(TLumoXML& doc, std::string rootName)
{
    TLumoXMLTag* root = AddXmlTag(doc.Root, std::move(rootName));
    root->AddParameter("Version", AnsiToUtf16(ConfigFileVersion));
    return AddXmlTag(*root, "Entries");
}

// Every child node of Entries is a row, whatever it is: the files the
// program writes hold only Entry elements. A non-element has no attributes.
template <typename Row>
void forEachEntry(const TLumoXMLTag& entries, Row&& row)
{
    for (int32_t i = 0; i < entries.Count(); ++i) {
        const TLumoXMLItem* item = entries.Item(i);
        row(item->Kind() == TLumoXMLItemKind::Tag ? static_cast<const TLumoXMLTag*>(item) : nullptr);
    }
}

struct DefaultFilter {
    const char* Extension;
    const char* Script;
};

constexpr DefaultFilter kDefaultFilters[] = {
    {".avi", "Kolvarin Codec Pack"},
    {".mkv", "Kolvarin Codec Pack"},
    {".ogm", "Kolvarin Codec Pack"},
    {".mp4", "Kolvarin Codec Pack"},
    {".ts", "Transport Stream"},
    {".RM", "RealMedia"},
    {".RMVB", "RealMedia"},
    {".MOD", "Tracker"},
    {".S3M", "Tracker"},
    {".XM", "Tracker"},
    {".IT", "Tracker"},
    {".IMF", "Tracker"},
    {".MT2", "Tracker"},
    {".BRT", "Tracker"},
    {".669", "Tracker"},
    {".STM", "Tracker"},
    {".MTM", "Tracker"},
    {".OKT", "Tracker"},
    {".WOW", "Tracker"},
    {"AVSEQ??.MPG", "Super Video CD"},
    {"AVSEQ??.DAT", "Video CD"},
    {".BIK", "RADGameTools"},
    {".SMK", "RADGameTools"},
    {".MPG", "MPEG 1-2"},
    {".MPEG", "MPEG 1-2"},
    {".WMV", "Windows Media Video"},
};

} // namespace

void TKConfig::SetDefaultFilters()
{
    VideoFilters.clear();
    for (const auto& row : kDefaultFilters)
        VideoFilters.push_back({row.Extension, row.Script, false});
}

int TKConfig::FindFilterByExtension(const std::string& ext) const
{
    const std::string wanted = lowerAscii(ext);
    for (size_t i = 0; i < VideoFilters.size(); ++i)
        if (lowerAscii(VideoFilters[i].Extension) == wanted)
            return static_cast<int>(i);
    return -1;
}

int TKConfig::FindFilterEntry(const std::string& ext, const std::string& script) const
{
    const std::string wantedExt = lowerAscii(ext);
    const std::string wantedScript = lowerAscii(script);
    for (size_t i = 0; i < VideoFilters.size(); ++i)
        if (lowerAscii(VideoFilters[i].Script) == wantedScript && lowerAscii(VideoFilters[i].Extension) == wantedExt)
            return static_cast<int>(i);
    return -1;
}

void TKConfig::LoadFilterManager(const std::string& fileName)
{
    // A damaged file keeps the table it found: an empty one would leave the
    // video window without any graph script.
    TLumoXML doc;
    const TLumoXMLTag* entries = LoadXmlFile(fileName, doc) ? findEntries(doc, "KolvarinFilterManager") : nullptr;
    if (!entries)
        return;
    std::vector<TVideoFilterEntry> rows;
    forEachEntry(*entries, [&](const TLumoXMLTag* entry) {
        rows.push_back({rowText(entry, "Extension"), rowText(entry, "Scriptfile"),
                        XmlTextToBool(GetXmlAttribute(entry, "CanAsk", u"false"))});
    });
    VideoFilters = std::move(rows);
}

void TKConfig::SaveFilterManager(const std::string& fileName) const
{
    TLumoXML doc;
    TLumoXMLTag* entries = addEntries(doc, "KolvarinFilterManager");
    for (const auto& row : VideoFilters) {
        TLumoXMLTag* entry = AddXmlTag(*entries, "Entry");
        entry->AddParameter("Extension", AnsiToUtf16(row.Extension));
        entry->AddParameter("Scriptfile", AnsiToUtf16(row.Script));
        entry->AddParameter("CanAsk", XmlBoolText(row.CanAsk));
    }
    SaveXmlFile(doc, fileName);
}

void TKConfig::LoadAcceptedExtensions(const std::string& fileName)
{
    // A damaged file keeps the list it found: an empty one would refuse every
    // local file while AcceptAllFiles is off.
    TLumoXML doc;
    const TLumoXMLTag* entries = LoadXmlFile(fileName, doc) ? findEntries(doc, "KolvarinAcceptedExtensions") : nullptr;
    if (!entries)
        return;
    std::vector<std::string> items;
    forEachEntry(*entries, [&](const TLumoXMLTag* entry) {
        items.push_back(upperAscii(Utf16ToAnsi(GetXmlAttribute(entry, "Ext", u""))));
    });
    AcceptedExtensions = std::move(items);
}

void TKConfig::SaveAcceptedExtensions(const std::string& fileName) const
{
    TLumoXML doc;
    TLumoXMLTag* entries = addEntries(doc, "KolvarinAcceptedExtensions");
    for (const auto& item : AcceptedExtensions)
        AddXmlTag(*entries, "Entry")->AddParameter("Ext", AnsiToUtf16(upperAscii(item)));
    SaveXmlFile(doc, fileName);
}

void TKConfig::FillKnownExtensions(std::vector<std::string>& list)
{
    list.clear();
    for (const auto& table : FormatTables())
        for (size_t i = 1; i < table.Extensions.size(); ++i)
            list.emplace_back(table.Extensions[i]);
}

} // namespace kolvarin
