#include "core/text/klanguage.h"

#include <stdexcept>
#include <vector>

#include "core/settings/kconfig.h"
#include "core/system/kfilesave.h"
#include "core/system/kpaths.h"
#include "core/text/kfunctions.h"
#include "core/text/kstrings.h"
#include "core/xml/kxmlfile_p.h"

namespace kolvarin {

namespace {

constexpr const char* kRootName = "KolvarinLanguageFile";

// The text of a Lang element's single child: a CDATA section holds
// Windows-1252 bytes, plain character data is already UTF-16.
bool LangText(const TLumoXMLTag& lang, std::u16string& text)
{
    if (lang.Count() != 1)
        return false;
    const TLumoXMLItem* child = lang.Item(0);
    if (child->Kind() == TLumoXMLItemKind::CData)
        text = AnsiToUtf16(static_cast<const TLumoXMLCDataTag*>(child)->Text);
    else if (child->Kind() == TLumoXMLItemKind::Text)
        text = static_cast<const TLumoXMLText*>(child)->Text;
    else
        return false;
    text = TrimWide(text);
    return true;
}

void ReadSection(TKLanguage& texts, const TLanguageSectionInfo& section, const TLumoXMLTag& element)
{
    std::vector<bool> found(static_cast<size_t>(section.Count), false);
    for (int32_t i = 0; i < element.Count(); ++i) {
        const TLumoXMLItem* item = element.Item(i);
        if (item->Kind() != TLumoXMLItemKind::Tag)
            continue;
        const auto& lang = *static_cast<const TLumoXMLTag*>(item);
        const std::u16string id = GetXmlAttribute(&lang, "id", u"");
        if (id.empty() || !IsNumber(id))
            continue;
        uint64_t number = 0;
        for (char16_t c : id) {
            number = number * 10 + (c - u'0');
            if (number > INT32_MAX)
                throw std::runtime_error("'" + Utf16ToUtf8(id) + "' is not a valid integer value");
        }
        std::u16string text;
        if (number < 1 || number > uint64_t(section.Count) || !LangText(lang, text))
            continue;
        const int position = section.Position + static_cast<int>(number) - 1;
        const std::u16string_view builtin = BuiltinLanguageText(position);
        texts.Texts[static_cast<size_t>(position)] =
            SameFormatArguments(text, builtin) ? text : std::u16string(builtin);
        found[number - 1] = true;
    }
    for (int k = 1; k <= section.Count; ++k)
        if (!found[static_cast<size_t>(k - 1)])
            texts.Texts[static_cast<size_t>(section.Position + k - 1)] =
                u"[Language tag \"" + Utf8ToUtf16(std::to_string(k)) + u"\" from section \"" +
                AnsiToUtf16(section.Name) + u"\" is missing]";
}

std::u16string ThreeDigits(int number)
{
    std::string text = std::to_string(number);
    if (text.size() < 3)
        text.insert(0, 3 - text.size(), '0');
    return Utf8ToUtf16(text);
}

} // namespace

bool SameFormatArguments(std::u16string_view a, std::u16string_view b)
{
    return WideFormatArgumentTypes(a) == WideFormatArgumentTypes(b);
}

const std::u16string& TKLanguage::Text(TLanguageSection section, int number) const
{
    static const std::u16string empty;
    const TLanguageSectionInfo& info = LanguageSection(section);
    if (number < 1 || number > info.Count)
        return empty;
    return Texts[static_cast<size_t>(info.Position + number - 1)];
}

void SetDefaultLanguage(TKLanguage& texts)
{
    for (int i = 0; i < kLanguageTextCount; ++i)
        texts.Texts[static_cast<size_t>(i)] = BuiltinLanguageText(i);
}

void LoadLanguageFile(TKLanguage& texts, const std::string& fileName)
{
    std::string bytes;
    // The streams of the XML model hold at most 2 GiB; a language file is far smaller.
    if (ReadWholeFile(fileName, bytes, 0x7FFFFFFF))
        LoadLanguageText(texts, bytes);
}

void LoadLanguageText(TKLanguage& texts, std::string_view bytes)
{
    TLumoXML doc;
    if (!doc.Parse(bytes))
        return;
    const TLumoXMLTag* root = FindXmlTag(&doc.Root, kRootName);
    if (!root)
        return;
    for (int32_t i = 0; i < root->Count(); ++i) {
        const TLumoXMLItem* item = root->Item(i);
        if (item->Kind() != TLumoXMLItemKind::Tag)
            continue;
        const auto& element = *static_cast<const TLumoXMLTag*>(item);
        for (const TLanguageSectionInfo& section : LanguageSections())
            if (element.Name == section.Name)
                ReadSection(texts, section, element);
    }
}

void SaveLanguageFile(const TKLanguage& texts, const std::string& fileName)
{
    TLumoXML doc;
    TLumoXMLTag* root = AddXmlTag(doc.Root, kRootName);
    root->AddParameter("Version", AnsiToUtf16(ConfigFileVersion));
    for (const TLanguageSectionInfo& section : LanguageSections()) {
        TLumoXMLTag* element = AddXmlTag(*root, section.Name);
        for (int k = 1; k <= section.Count; ++k) {
            TLumoXMLTag* lang = AddXmlTag(*element, "Lang");
            lang->AddParameter("id", ThreeDigits(k));
            const std::u16string& text = texts.Texts[static_cast<size_t>(section.Position + k - 1)];
            // A CDATA section cannot hold its own end marker: such a text
            // goes as escaped character data, which the reader accepts too.
            const std::string bytes = Utf16ToAnsi(text);
            if (bytes.find("]]>") == std::string::npos)
                lang->Add(std::make_unique<TLumoXMLCDataTag>(bytes));
            else
                lang->Add(std::make_unique<TLumoXMLText>(text));
        }
    }
    SaveXmlFile(doc, fileName);
}

TKLanguage Language = [] {
    TKLanguage texts;
    SetDefaultLanguage(texts);
    return texts;
}();

std::string LanguageFolder() { return ApplicationPath + "data/languages/"; }

} // namespace kolvarin
