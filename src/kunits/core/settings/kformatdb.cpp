#include "core/settings/kformatdb.h"

#include <algorithm>

#include "base/bytereader.h"

#include "core/text/kfunctions.h"
#include "core/text/kstrings.h"
#include "core/xml/kxmlfile_p.h"

namespace kolvarin {

TKFormatDatabase* AudioFormatDB = nullptr;
TKFormatDatabase* VideoFormatDB = nullptr;

namespace {

std::string UpperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return text;
}

// Hexadecimal digits with an optional leading '$'; false for anything else,
// and for a number that does not fit 32 bits.
bool ParseHexCode(std::string_view text, uint32_t& code)
{
    if (!IsHexNumber(text))
        return false;
    if (text[0] == '$')
        text.remove_prefix(1);
    uint64_t value = 0;
    for (char c : text) {
        const int digit = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
        value = value * 16 + static_cast<uint64_t>(digit);
        if (value > UINT32_MAX)
            return false;
    }
    code = static_cast<uint32_t>(value);
    return true;
}

TKFormatDBEntry EntryOf(const TLumoXMLTag& format)
{
    TKFormatDBEntry entry;
    entry.Description = Utf16ToAnsi(GetXmlAttribute(&format, "Description", u""));
    const std::string charCode = Utf16ToAnsi(GetXmlAttribute(&format, "CharCode", u""));
    const std::string hexCode = Utf16ToAnsi(GetXmlAttribute(&format, "HexCode", u""));
    if (!charCode.empty()) {
        entry.CharCode = charCode;
        entry.Code = FourCCOf(charCode);
    } else if (!ParseHexCode(hexCode, entry.Code)) {
        entry.Code = 0;
    }
    return entry;
}

} // namespace

bool TKFormatDatabase::LoadFromFile(const std::string& fileName)
{
    TLumoXML doc;
    if (!LoadXmlFile(fileName, doc))
        return false;
    const TLumoXMLTag* formats = FindXmlTag(FindXmlTag(&doc.Root, "KolvarinFormatDB"), "Formats");
    if (!formats)
        return true;
    for (int32_t i = 0; i < formats->Count(); ++i) {
        const TLumoXMLItem* item = formats->Item(i);
        if (item->Kind() == TLumoXMLItemKind::Tag && static_cast<const TLumoXMLTag*>(item)->Name == "Format")
            Add(EntryOf(*static_cast<const TLumoXMLTag*>(item)));
    }
    return true;
}

const TKFormatDBEntry* TKFormatDatabase::Find(uint32_t code) const
{
    const std::string text = UpperAscii(FourCCToString(code));
    for (const TKFormatDBEntry& e : entries_)
        if (e.Code == code || (!e.CharCode.empty() && e.CharCode == text))
            return &e;
    return nullptr;
}

std::string FourCCToString(uint32_t code)
{
    std::string text(4, '\0');
    PutLe32(reinterpret_cast<uint8_t*>(text.data()), code);
    return text;
}

uint32_t FourCCOf(std::string_view text)
{
    uint8_t bytes[4]{};
    std::copy_n(text.begin(), std::min<size_t>(text.size(), 4), bytes);
    return Le32(bytes);
}

} // namespace kolvarin
