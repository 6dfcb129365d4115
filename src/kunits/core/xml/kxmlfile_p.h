#pragma once

// Shared by the readers and writers of the settings-like XML files.

#include <string>
#include <string_view>

#include "core/xml/kxmlaccess.h"
#include "core/xml/lumoxml.h"

namespace kolvarin {

// Reads and parses the file. False when it cannot be read or does not parse.
bool LoadXmlFile(const std::string& fileName, TLumoXML& doc);
// Writes the document (indent two, CR LF) through a temporary file renamed
// over the old one. Throws std::runtime_error; the old file is then kept.
void SaveXmlFile(TLumoXML& doc, const std::string& fileName);

// The settings files' Boolean: "true" or "1" in any ASCII letter case.
bool XmlTextToBool(std::u16string_view text);
inline const char16_t* XmlBoolText(bool value) { return value ? u"true" : u"false"; }

// Appends a new element to Parent and returns it.
TLumoXMLTag* AddXmlTag(TLumoXMLItem& parent, std::string name);

} // namespace kolvarin
