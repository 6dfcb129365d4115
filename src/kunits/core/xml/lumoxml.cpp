#include "core/xml/lumoxml.h"

#include "core/text/kstrings.h"
#include "core/xml/lumoxml_p.h"
#include "core/xml/lumoxmlentities.h"

namespace kolvarin {

namespace {

// Tags with at most this many parameters are searched without the index.
constexpr size_t kScanLimit = 8;

void appendDecimal(std::string& out, uint32_t value) { out += std::to_string(value); }

void appendHex(std::string& out, uint32_t value)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    char buf[8];
    int n = 0;
    do {
        buf[n++] = kDigits[value & 0xF];
        value >>= 4;
    } while (value != 0);
    while (n > 0)
        out += buf[--n];
}

} // namespace

TLumoXMLItem* TLumoXMLItemList::Items(int32_t index) const
{
    return static_cast<TLumoXMLItem*>(TLumoClassList::Items(index));
}

void TLumoXMLItem::Clear() { Items.Clear(); }

void TLumoXMLItem::AddItem(TLumoXMLItem* item)
{
    if (item)
        Items.Add(item);
}

void* TLumoXMLItem::operator new(size_t size) { return xmlalloc::Allocate(size); }

void TLumoXMLItem::operator delete(void* block) { xmlalloc::Release(block); }

TLumoXMLTag::~TLumoXMLTag() { dropPacked(); }

void TLumoXMLTag::dropPacked() const
{
    xmlalloc::Release(packed_);
    packed_ = nullptr;
    packedSize_ = 0;
}

void TLumoXMLTag::unpack() const
{
    if (!packed_)
        return;
    packed::ForEach(packed(), [this](std::u16string_view name, std::u16string_view value) {
        parameters_.push_back(TLumoXMLParameter{packed::NarrowName(name), std::u16string(value)});
    });
    dropPacked();
}

const std::vector<TLumoXMLParameter>& TLumoXMLTag::Parameters() const
{
    unpack();
    return parameters_;
}

void TLumoXMLTag::Clear()
{
    TLumoXMLItem::Clear();
    parameters_.clear();
    dropPacked();
    index_.reset();
    indexed_ = 0;
    Name.clear();
}

void TLumoXMLTag::AddParameter(std::string name, std::u16string value)
{
    unpack();
    parameters_.push_back(TLumoXMLParameter{std::move(name), std::move(value)});
}

const TLumoXMLParameter* TLumoXMLTag::FindParameter(std::string_view name) const
{
    unpack();
    if (parameters_.size() <= kScanLimit) {
        for (auto it = parameters_.rbegin(); it != parameters_.rend(); ++it) {
            if (it->Name == name)
                return &*it;
        }
        return nullptr;
    }
    if (!index_)
        index_ = std::make_unique<TLumoStringTree>();
    for (; indexed_ < parameters_.size(); ++indexed_)
        index_->Add(parameters_[indexed_].Name, static_cast<uint32_t>(indexed_), true);
    uint32_t at = 0;
    return index_->Find(name, at) ? &parameters_[at] : nullptr;
}

std::string TLumoXMLTag::GetParameter(std::string_view name, std::string_view defaultValue) const
{
    const TLumoXMLParameter* p = FindParameter(name);
    return p ? Utf16ToAnsi(p->Value) : std::string(defaultValue);
}

std::string XMLEncodeText(std::u16string_view text, int32_t indent)
{
    std::string out;
    out.reserve(text.size());
    AppendXMLEncodedText(out, text, indent);
    return out;
}

void AppendXMLEncodedText(std::string& out, std::u16string_view text, int32_t indent)
{
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        char16_t c = text[i];
        if (c == u'\r') {
            if (i + 1 < n && text[i + 1] == u'\n')
                continue;
            c = u'\n';
        }
        if (c < 128 && c != '"' && c != '&' && c != '<' && c != '>' && (c >= 32 || c == u'\t' || c == u'\n')) {
            out += static_cast<char>(c);
            if (c == u'\n' && indent > 0)
                out.append(static_cast<size_t>(indent), ' ');
            continue;
        }
        const std::string_view entity = XmlEntityForChar(c);
        if (!entity.empty()) {
            out += entity;
        } else if (c < 256) {
            out += "&#";
            appendDecimal(out, c);
            out += ';';
        } else {
            uint32_t code = c;
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
                code = 0x10000 + ((uint32_t(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
                ++i;
            } else if (c >= 0xD800 && c <= 0xDFFF) {
                code = 0xFFFD;
            }
            out += "&#x";
            appendHex(out, code);
            out += ';';
        }
    }
}

} // namespace kolvarin
