#include "core/xml/kxmlaccess.h"

namespace kolvarin {

TLumoXMLTag* FindXmlTag(const TLumoXMLItem* parent, std::string_view name)
{
    if (!parent)
        return nullptr;
    for (int32_t i = 0; i < parent->Count(); ++i) {
        TLumoXMLItem* child = parent->Item(i);
        if (child && child->IsTag() && static_cast<TLumoXMLTag*>(child)->Name == name)
            return static_cast<TLumoXMLTag*>(child);
    }
    return nullptr;
}

TLumoXMLTag* FindXmlTagByPath(const TLumoXMLItem* root, std::string_view path)
{
    if (!root)
        return nullptr;
    if (path.empty())
        return root->IsTag() ? const_cast<TLumoXMLTag*>(static_cast<const TLumoXMLTag*>(root)) : nullptr;
    const TLumoXMLItem* current = root;
    TLumoXMLTag* found = nullptr;
    size_t start = 0;
    for (;;) {
        const size_t slash = path.find('/', start);
        found = FindXmlTag(current, path.substr(start, slash == std::string_view::npos ? path.npos : slash - start));
        if (!found || slash == std::string_view::npos)
            return found;
        current = found;
        start = slash + 1;
    }
}

const std::u16string* FindXmlAttribute(const TLumoXMLTag* tag, std::string_view name)
{
    if (!tag)
        return nullptr;
    for (const auto& p : tag->Parameters()) {
        if (p.Name == name)
            return &p.Value;
    }
    return nullptr;
}

std::u16string GetXmlAttribute(const TLumoXMLTag* tag, std::string_view name, std::u16string_view defaultValue)
{
    const std::u16string* value = FindXmlAttribute(tag, name);
    return value ? *value : std::u16string(defaultValue);
}

std::u16string GetXmlPathAttribute(const TLumoXMLItem* root, std::string_view path, std::string_view name,
                                   std::u16string_view defaultValue)
{
    return GetXmlAttribute(FindXmlTagByPath(root, path), name, defaultValue);
}

} // namespace kolvarin
