#include "dialogs/configskininfo.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/system/kpaths.h"
#include "core/text/klanguage.h"
#include "core/text/kstrings.h"
#include "core/xml/kxmlaccess.h"
#include "core/xml/lumoxml.h"
#include "skin/kskinload.h"
#include "zip/ziphandler.h"

namespace kolvarin {

namespace fs = std::filesystem;

namespace {

// A description larger than this is no skin description.
constexpr uintmax_t kMaxDescriptionBytes = 16u << 20;

std::string lowerExtension(const std::string& name)
{
    std::string ext = fs::path(name).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; });
    return ext;
}

// Sorted names of the entries of a folder that are regular files (Files) or folders.
std::vector<std::string> entries(const std::string& folder, bool files)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
        if (files ? entry.is_regular_file(ec) : entry.is_directory(ec))
            names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void addOnce(std::vector<std::string>& list, const std::string& name)
{
    if (std::find(list.begin(), list.end(), name) == list.end())
        list.push_back(name);
}

bool readFile(const std::string& fileName, std::string& bytes)
{
    std::error_code ec;
    const uintmax_t size = fs::file_size(fileName, ec);
    if (ec || size > kMaxDescriptionBytes)
        return false;
    std::ifstream in(fileName, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
    return static_cast<bool>(in) || in.eof();
}

std::vector<std::u16string> xmlInfo(const std::string& fileName)
{
    std::string bytes;
    TLumoXML doc;
    if (!readFile(fileName, bytes) || !doc.Parse(bytes))
        return {u"Skin corrupted."};
    const TLumoXMLTag* root = FindXmlTag(&doc.Root, "KolvarinSkin");
    if (!root)
        return {u"Skin corrupted."};
    return {GetXmlPathAttribute(root, "Author/FullSkinName", "Value", u""),
            GetXmlPathAttribute(root, "Author/Name", "Name", u""), GetXmlPathAttribute(root, "Author/Web", "URL", u""),
            GetXmlPathAttribute(root, "Author/Email", "Address", u"")};
}

// Lines 6, 8, 10 and 12 hold name, author, web and mail from their 6th character on.
std::vector<std::u16string> ksknInfo(const std::string& fileName)
{
    std::string bytes;
    if (!readFile(fileName, bytes))
        return {u"Skin corrupted."};
    std::vector<std::string> lines;
    size_t at = 0;
    while (at <= bytes.size() && lines.size() < 12) {
        size_t end = bytes.find_first_of("\r\n", at);
        if (end == std::string::npos)
            end = bytes.size();
        lines.push_back(bytes.substr(at, end - at));
        at = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    auto value = [&lines](size_t line) {
        return line <= lines.size() && lines[line - 1].size() > 5 ? AnsiToUtf16(lines[line - 1].substr(5))
                                                                  : std::u16string();
    };
    std::vector<std::u16string> info = {value(6), u"by " + value(8), value(10), value(12)};
    if (value(6).empty() || value(8).empty() || value(10).empty() || value(12).empty())
        return {u"No skin information found."};
    return info;
}

std::vector<std::u16string> describe(const std::string& fileName)
{
    return lowerExtension(fileName) == ".xml" ? xmlInfo(fileName) : ksknInfo(fileName);
}

// The description among names: XML before line-oriented, the last of each kind.
template <typename Name, typename Part>
const Name* chooseDescription(const std::vector<Name>& names, Part filePart)
{
    const Name *xml = nullptr, *kskn = nullptr;
    for (const Name& name : names) {
        const std::string ext = lowerExtension(filePart(name));
        if (ext == ".xml")
            xml = &name;
        else if (ext == ".kskn")
            kskn = &name;
    }
    return xml ? xml : kskn;
}

std::vector<std::u16string> packageInfo(const std::string& package, TZipHandler& zip)
{
    const std::string folder = MakeSkinTempFolder();
    if (folder.empty())
        return {};
    std::vector<std::u16string> info;
    try {
        zip.SetZipFileName(Utf8ToUtf16(package));
        std::vector<std::u16string> names;
        for (int i = 0; i < zip.Count(); ++i)
            names.push_back(zip.DirEntry(i).FileName);
        auto part = [](const std::u16string& name) { return Utf16ToUtf8(SkinMemberFilePart(name)); };
        if (const std::u16string* description = chooseDescription(names, part)) {
            zip.FSpecArgs = {*description};
            zip.ExtrBaseDir = Utf8ToUtf16(folder);
            zip.ExtrOptions = ExtrOverWrite;
            const int extracted = zip.Extract();
            zip.FSpecArgs.clear();
            info = extracted == 1 ? describe(folder + part(*description))
                                  : std::vector<std::u16string>{u"Skin corrupted."};
        }
    } catch (const std::exception&) {
        info = {u"Skin corrupted."};
    }
    std::error_code ec;
    fs::remove_all(folder, ec);
    return info;
}

} // namespace

std::vector<std::string> ListSkinNames()
{
    std::vector<std::string> names = {kDefaultSkinName};
    for (const std::string& base : {UserPath, ApplicationPath})
        for (const std::string& file : entries(base + "data/skins/", true))
            if (lowerExtension(file) == ".kskz")
                addOnce(names, Utf16ToAnsi(Utf8ToUtf16(file.substr(0, file.size() - 5))));
    for (const std::string& base : {UserPath, ApplicationPath})
        for (const std::string& folder : entries(base + "data/skins/", false))
            addOnce(names, Utf16ToAnsi(Utf8ToUtf16(folder)));
    return names;
}

std::vector<std::u16string> ReadSkinInfo(const std::string& name, TZipHandler& zip)
{
    const std::string utf8 = Utf16ToUtf8(AnsiToUtf16(name));
    if (utf8.empty() || utf8 == "." || utf8 == ".." || utf8.find('/') != std::string::npos)
        return {};
    std::error_code ec;
    for (const std::string& base : {UserPath, ApplicationPath}) {
        const std::string skin = base + "data/skins/" + utf8;
        if (fs::is_regular_file(skin + ".kskz", ec))
            return packageInfo(skin + ".kskz", zip);
        if (fs::is_directory(skin, ec)) {
            const std::vector<std::string> files = entries(skin, true);
            const std::string* description = chooseDescription(files, [](const std::string& n) { return n; });
            return description ? describe(skin + "/" + *description) : std::vector<std::u16string>{};
        }
    }
    return {};
}

std::string LanguageFileOf(const std::string& name)
{
    return LanguageFolder() + Utf16ToUtf8(AnsiToUtf16(name)) + ".klang";
}

bool IsLanguageFileReadable(const std::string& fileName)
{
    std::string bytes;
    TLumoXML doc;
    return readFile(fileName, bytes) && doc.Parse(bytes) && FindXmlTag(&doc.Root, "KolvarinLanguageFile");
}

std::vector<std::string> ListLanguageNames()
{
    std::vector<std::string> names = {"english[default]"};
    for (const std::string& file : entries(LanguageFolder(), true))
        if (lowerExtension(file) == ".klang")
            addOnce(names, Utf16ToAnsi(Utf8ToUtf16(file.substr(0, file.size() - 6))));
    return names;
}

} // namespace kolvarin
