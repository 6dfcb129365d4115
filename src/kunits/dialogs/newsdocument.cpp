#include "dialogs/newsdocument.h"

#include "core/text/kstrings.h"
#include "core/xml/kxmlaccess.h"
#include "core/xml/lumoxml.h"

namespace kolvarin {

namespace {

std::string attribute(const TLumoXMLTag* tag, std::string_view name)
{
    return Utf16ToAnsi(GetXmlAttribute(tag, name, u""));
}

// The text of a line: its single child, when that is a CDATA section.
bool lineText(const TLumoXMLTag* line, std::string& text)
{
    if (line->Count() != 1 || line->Item(0)->Kind() != TLumoXMLItemKind::CData)
        return false;
    const std::string& bytes = static_cast<const TLumoXMLCDataTag*>(line->Item(0))->Text;
    text = IsValidUtf8(bytes) ? Utf16ToAnsi(Utf8ToUtf16(bytes)) : bytes;
    return true;
}

// The child tags of a parent that carry a name, in order.
template <typename F>
void forEachTag(const TLumoXMLTag* parent, std::string_view name, F&& f)
{
    if (!parent)
        return;
    for (int32_t i = 0; i < parent->Count(); ++i) {
        const TLumoXMLItem* item = parent->Item(i);
        if (item->IsTag() && static_cast<const TLumoXMLTag*>(item)->Name == name)
            f(static_cast<const TLumoXMLTag*>(item));
    }
}

} // namespace

TNewsReadResult ReadNewsDocument(std::string_view bytes)
{
    TNewsReadResult result;
    TLumoXML xml;
    if (!xml.Parse(bytes)) {
        result.Offset = std::size_t(xml.LastResult().Offset);
        return result;
    }
    const TLumoXMLTag* news = FindXmlTagByPath(&xml.Root, "kolvarin/onlinenews");
    if (!news) {
        result.Status = TNewsStatus::NoNews;
        return result;
    }
    TNewsDocument& document = result.Document;
    document.ID = attribute(news, "id");
    forEachTag(FindXmlTag(news, "entries"), "entry", [&](const TLumoXMLTag* entry) {
        TNewsEntry& added = document.Entries.emplace_back();
        added.Title = attribute(entry, "title");
        forEachTag(FindXmlTag(entry, "lines"), "line", [&](const TLumoXMLTag* line) {
            std::string text;
            if (lineText(line, text))
                added.Lines.push_back(std::move(text));
        });
    });
    forEachTag(FindXmlTag(news, "images"), "img", [&](const TLumoXMLTag* image) {
        document.Images.push_back({attribute(image, "src"), attribute(image, "name")});
    });
    result.Status = TNewsStatus::Ok;
    return result;
}

} // namespace kolvarin
