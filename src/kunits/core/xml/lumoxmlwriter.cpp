#include "core/xml/lumoxml.h"
#include "core/xml/lumoxml_p.h"

namespace kolvarin {

class TLumoXMLWriter {
public:
    TLumoXMLWriter(TLumoXML& doc, TLumoStream& stream, int32_t step)
        : doc_(doc), stream_(stream), step_(step), level_(-2 * int64_t(step))
    {}

    bool run()
    {
        writeItem(&doc_.Root, doc_.IndentOutput);
        return !failed_;
    }

private:
    void startLine(bool indent)
    {
        line_.clear();
        if (doc_.IndentOutput && indent && level_ > 0)
            line_.append(static_cast<size_t>(level_), ' ');
    }

    void emit(bool lineEnd)
    {
        if (lineEnd)
            line_ += "\r\n";
        if (!failed_ && !stream_.WriteText(line_))
            failed_ = true;
    }

    // Name is 8-bit text, or the packed form's one byte per unit.
    template <class Name>
    void appendParameter(const Name& name, std::u16string_view value)
    {
        line_ += ' ';
        for (const auto c : name)
            line_ += static_cast<char>(c);
        line_ += "=\"";
        AppendXMLEncodedText(line_, value, 0);
        line_ += '"';
    }

    void appendParameters(const TLumoXMLTag& tag)
    {
        if (tag.packed_) {
            // Written straight from the parsed form, without unpacking.
            packed::ForEach(tag.packed(), [this](std::u16string_view name, std::u16string_view value) {
                appendParameter(name, value);
            });
            return;
        }
        for (const auto& p : tag.parameters_)
            appendParameter(p.Name, p.Value);
    }

    static bool holdsLineBreak(const std::u16string& text)
    {
        return text.find_first_of(u"\r\n") != std::u16string::npos;
    }

    void writeChildren(const TLumoXMLItem& item, bool indent)
    {
        for (int32_t i = 0; i < item.Count() && !failed_; ++i)
            writeItem(item.Item(i), indent);
    }

    void writeTag(TLumoXMLTag& tag, bool indent)
    {
        const bool lineEnd = doc_.IndentOutput && indent;
        if (doc_.AutoCloseEmptyTags)
            tag.IsEmptyTag = tag.Count() == 0;
        line_ += '<';
        line_ += tag.Name;
        appendParameters(tag);
        const TLumoXMLItem* first = tag.Item(0);
        const bool firstIsText = first && first->Kind() == TLumoXMLItemKind::Text;
        if (tag.IsEmptyTag) {
            line_ += " />";
        } else if (tag.Count() == 1 && firstIsText &&
                   (!doc_.IndentText || !holdsLineBreak(static_cast<const TLumoXMLText*>(first)->Text))) {
            line_ += '>';
            AppendXMLEncodedText(line_, static_cast<const TLumoXMLText*>(first)->Text, 0);
            line_ += "</";
            line_ += tag.Name;
            line_ += '>';
        } else if (tag.Count() == 0) {
            line_ += "></";
            line_ += tag.Name;
            line_ += '>';
        } else {
            line_ += '>';
            emit(lineEnd && !(firstIsText && !doc_.IndentText));
            bool anyText = false;
            for (int32_t i = 0; i < tag.Count(); ++i)
                anyText = anyText || tag.Item(i)->Kind() == TLumoXMLItemKind::Text;
            const bool childIndent = indent && (!anyText || (doc_.IndentOutput && doc_.IndentText));
            writeChildren(tag, childIndent);
            startLine(childIndent);
            line_ += "</";
            line_ += tag.Name;
            line_ += '>';
        }
        emit(lineEnd);
    }

    void writeRaw(const char* open, const TLumoXMLItem& item, const char* close)
    {
        line_ += open;
        line_ += static_cast<const TLumoXMLRawItem&>(item).Text;
        line_ += close;
    }

    void writeItem(TLumoXMLItem* item, bool indent)
    {
        if (failed_ || !item)
            return;
        level_ += step_;
        startLine(indent);
        const bool lineEnd = doc_.IndentOutput && indent;
        switch (item->Kind()) {
        case TLumoXMLItemKind::Item:
            writeChildren(*item, indent);
            level_ -= step_;
            return;
        case TLumoXMLItemKind::Tag:
            writeTag(*static_cast<TLumoXMLTag*>(item), indent);
            level_ -= step_;
            return;
        case TLumoXMLItemKind::Text: {
            const auto& text = static_cast<const TLumoXMLText*>(item)->Text;
            if (!doc_.IndentText)
                line_.clear();
            AppendXMLEncodedText(line_, text, doc_.IndentText ? static_cast<int32_t>(level_) : 0);
            emit(lineEnd);
            level_ -= step_;
            return;
        }
        case TLumoXMLItemKind::Comment: writeRaw("<!--", *item, "-->"); break;
        case TLumoXMLItemKind::Script: writeRaw("<%", *item, "%>"); break;
        case TLumoXMLItemKind::CData: writeRaw("<![CDATA[", *item, "]]>"); break;
        case TLumoXMLItemKind::DocType: writeRaw("<!DOCTYPE ", *item, ">"); break;
        case TLumoXMLItemKind::Extra: writeRaw("<!", *item, ">"); break;
        case TLumoXMLItemKind::Process: {
            const auto& tag = *static_cast<const TLumoXMLTag*>(item);
            line_ += "<?";
            line_ += tag.Name;
            appendParameters(tag);
            line_ += "?>";
            break;
        }
        }
        emit(lineEnd);
        writeChildren(*item, indent);
        level_ -= step_;
    }

    TLumoXML& doc_;
    TLumoStream& stream_;
    const int32_t step_;
    int64_t level_;
    bool failed_ = false;
    std::string line_;
};

bool TLumoXML::Write(TLumoStream& stream, int32_t indentStep)
{
    stream.Clear();
    return TLumoXMLWriter(*this, stream, indentStep).run();
}

} // namespace kolvarin
