#pragma once

#include <string>
#include <string_view>

#include "core/xml/lumoxml.h"

namespace kolvarin {

// Path and attribute access on a parsed document. Names compare with exact
// letter case. The returned tags belong to the document.

// The first child of Parent that is a tag (or processing instruction) of
// exactly that name; nullptr when there is none or Parent is null.
TLumoXMLTag* FindXmlTag(const TLumoXMLItem* parent, std::string_view name);
// Follows the "/"-separated names below Root, child by child; nullptr when
// a name is not found. An empty path gives Root itself when it is a tag.
TLumoXMLTag* FindXmlTagByPath(const TLumoXMLItem* root, std::string_view path);
// The value of the first parameter of that name; nullptr when the tag is
// null or has none. Valid until the tag changes.
const std::u16string* FindXmlAttribute(const TLumoXMLTag* tag, std::string_view name);
// That value, or Default.
std::u16string GetXmlAttribute(const TLumoXMLTag* tag, std::string_view name, std::u16string_view defaultValue);
// GetXmlAttribute of the tag that FindXmlTagByPath finds, else Default.
std::u16string GetXmlPathAttribute(const TLumoXMLItem* root, std::string_view path, std::string_view name,
                                   std::u16string_view defaultValue);

} // namespace kolvarin
