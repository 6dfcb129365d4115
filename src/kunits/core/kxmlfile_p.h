#pragma once

// Shared by the readers and writers of the settings-like XML files.

#include <string>
#include <string_view>

#include "core/lumoxml.h"

namespace kolvarin {

// Reads and parses the file. False when it cannot be read or does not parse.
bool LoadXmlFile(const std::string& fileName, TLumoXML& doc);
// Writes the document (indent two, CR LF) through a temporary file renamed
// over the old one. Throws std::runtime_error; the old file is then kept.
void SaveXmlFile(TLumoXML& doc, const std::string& fileName);

// The first child of Parent that is an element named exactly Name.
const TLumoXMLTag* FindXmlTag(const TLumoXMLItem* parent, std::string_view name);
// The value of the first attribute named exactly Name; nullptr when the tag
// is null or has none.
const std::u16string* FindXmlAttribute(const TLumoXMLTag* tag, std::string_view name);
// That value, or Default.
std::u16string GetXmlAttribute(const TLumoXMLTag* tag, std::string_view name, std::u16string_view defaultValue);

// The settings files' Boolean: "true" or "1" in any ASCII letter case.
bool XmlTextToBool(std::u16string_view text);
inline const char16_t* XmlBoolText(bool value) { return value ? u"true" : u"false"; }

// Appends a new element to Parent and returns it.
TLumoXMLTag* AddXmlTag(TLumoXMLItem& parent, std::string name);

} // namespace kolvarin
