#include "core/system/kfilesave.h"
#include "core/text/kfunctions.h"
#include "core/xml/kxmlfile_p.h"

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

bool XmlTextToBool(std::u16string_view text) { return StrToBool(text); }

TLumoXMLTag* AddXmlTag(TLumoXMLItem& parent, std::string name)
{
    return parent.Add(std::make_unique<TLumoXMLTag>(std::move(name)));
}

} // namespace kolvarin
