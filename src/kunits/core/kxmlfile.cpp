#include "core/kfilesave.h"
#include "core/kxmlfile_p.h"

#include <stdexcept>

namespace kolvarin {

bool LoadXmlFile(const std::string& fileName, TLumoXML& doc)
{
    std::string bytes;
    // The streams of the XML model hold at most 2 GiB; settings are far smaller.
    if (!ReadWholeFile(fileName, bytes, 0x7FFFFFFF))
        return false;
    return doc.Parse(bytes);
}

void SaveXmlFile(TLumoXML& doc, const std::string& fileName)
{
    TLumoStream stream;
    if (!doc.Write(stream, 2))
        throw std::runtime_error("Cannot build the document for \"" + fileName + "\"");
    SaveFileAtomically(fileName, std::string_view(reinterpret_cast<const char*>(stream.Data()),
                                                  static_cast<size_t>(stream.GetSize())));
}

const TLumoXMLTag* FindXmlTag(const TLumoXMLItem* parent, std::string_view name)
{
    if (!parent)
        return nullptr;
    for (int32_t i = 0; i < parent->Count(); ++i) {
        const TLumoXMLItem* item = parent->Item(i);
        if (item->Kind() == TLumoXMLItemKind::Tag && static_cast<const TLumoXMLTag*>(item)->Name == name)
            return static_cast<const TLumoXMLTag*>(item);
    }
    return nullptr;
}

const std::u16string* FindXmlAttribute(const TLumoXMLTag* tag, std::string_view name)
{
    if (!tag)
        return nullptr;
    for (const auto& p : tag->Parameters())
        if (p.Name == name)
            return &p.Value;
    return nullptr;
}

std::u16string GetXmlAttribute(const TLumoXMLTag* tag, std::string_view name, std::u16string_view defaultValue)
{
    const std::u16string* value = FindXmlAttribute(tag, name);
    return value ? *value : std::u16string(defaultValue);
}

bool XmlTextToBool(std::u16string_view text)
{
    if (text == u"1")
        return true;
    if (text.size() != 4)
        return false;
    for (size_t i = 0; i < 4; ++i) {
        char16_t c = text[i];
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c + 32);
        if (c != u"true"[i])
            return false;
    }
    return true;
}

TLumoXMLTag* AddXmlTag(TLumoXMLItem& parent, std::string name)
{
    return parent.Add(std::make_unique<TLumoXMLTag>(std::move(name)));
}

} // namespace kolvarin
