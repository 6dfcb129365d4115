#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <typeinfo>

#include "base/hexdigit.h"
#include "core/text/kstrings.h"
#include "core/xml/lumoxml.h"
#include "core/xml/lumoxml_p.h"
#include "core/xml/lumoxmlentities.h"

namespace kolvarin {

namespace {

enum : uint8_t { kSpace = 1, kNameStart = 2, kNameChar = 4, kAlnum = 8, kTextStop = 16 };

constexpr std::array<uint8_t, 256> makeClasses()
{
    std::array<uint8_t, 256> t{};
    t['\t'] = t['\n'] = t['\r'] = t[' '] = kSpace | kTextStop;
    t['<'] = t['&'] = kTextStop;
    for (int c = 0; c < 256; ++c) {
        const bool upper = c >= 'A' && c <= 'Z';
        const bool lower = c >= 'a' && c <= 'z';
        const bool digit = c >= '0' && c <= '9';
        if (upper || lower || c == '_')
            t[c] |= kNameStart | kNameChar;
        if (digit || c == '-' || c == '.' || c == ':')
            t[c] |= kNameChar;
        if (upper || lower || digit)
            t[c] |= kAlnum;
    }
    return t;
}

constexpr std::array<uint8_t, 256> kClass = makeClasses();

constexpr char16_t kReplacement = 0xFFFD;

// Windows-1252 by table, here where every byte of a document passes.
const std::array<char16_t, 256> kWide = [] {
    std::array<char16_t, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[c] = AnsiCharToWide(static_cast<unsigned char>(c));
    return t;
}();
// Longer texts can't be one of the named entities.
constexpr size_t kMaxEntityName = 16;

} // namespace

// Reads the bytes of one document into a tree. Every construct is consumed
// whole; on the first fault the status and byte offset are kept and the
// parse unwinds.
class TLumoXMLParser {
public:
    explicit TLumoXMLParser(std::string_view bytes)
        : begin_(reinterpret_cast<const unsigned char*>(bytes.data())), p_(begin_), end_(begin_ + bytes.size())
    {}

    TLumoXMLParseResult run(TLumoXMLItem& root)
    {
        parseContent(root, nullptr, 0);
        return {status_, offset_};
    }

private:
    bool atEnd() const { return p_ >= end_; }
    unsigned char cur() const { return p_ < end_ ? *p_ : 0; }
    bool is(uint8_t cls) const { return p_ < end_ && (kClass[*p_] & cls); }

    bool fail(TLumoXMLStatus status)
    {
        status_ = status;
        offset_ = p_ - begin_;
        return false;
    }

    void skipSpace()
    {
        while (is(kSpace))
            ++p_;
    }

    std::string readName()
    {
        const unsigned char* start = p_;
        if (is(kNameStart)) {
            while (is(kNameChar))
                ++p_;
        }
        return std::string(reinterpret_cast<const char*>(start), static_cast<size_t>(p_ - start));
    }

    bool match(std::string_view text)
    {
        for (const char c : text) {
            if (atEnd() || *p_ != static_cast<unsigned char>(c))
                return false;
            ++p_;
        }
        return true;
    }

    // The bytes before Terminator; both are consumed.
    bool readUpTo(std::string_view terminator, std::string& out)
    {
        const std::string_view rest(reinterpret_cast<const char*>(p_), static_cast<size_t>(end_ - p_));
        const size_t at = rest.find(terminator);
        if (at == std::string_view::npos) {
            p_ = end_;
            return fail(TLumoXMLStatus::UnexpectedEnd);
        }
        out.assign(rest.data(), at);
        p_ += at + terminator.size();
        return true;
    }

    // At "&": appends the character (or the unknown entity's own text).
    bool readEntity(std::u16string& out)
    {
        ++p_;
        if (cur() == '#') {
            ++p_;
            const bool hex = cur() == 'x';
            if (hex)
                ++p_;
            const bool negative = cur() == '-';
            if (negative || cur() == '+')
                ++p_;
            uint32_t value = 0;
            bool digits = false;
            for (int d; !atEnd() && (d = hex ? HexDigitValue(static_cast<char>(*p_))
                                             : (*p_ >= '0' && *p_ <= '9' ? *p_ - '0' : -1)) >= 0;
                 ++p_) {
                digits = true;
                // Saturate: anything past the last code point is invalid alike.
                value = std::min<uint32_t>(value * (hex ? 16 : 10) + static_cast<uint32_t>(d), 0x110000);
            }
            if (cur() != ';')
                return fail(TLumoXMLStatus::ExpectedSemicolon);
            ++p_;
            const bool valid =
                digits && !negative && value != 0 && value <= 0x10FFFF && !(value >= 0xD800 && value <= 0xDFFF);
            AppendUtf16(out, valid ? value : kReplacement);
            return true;
        }
        const unsigned char* name = p_;
        while (is(kAlnum))
            ++p_;
        const size_t length = static_cast<size_t>(p_ - name);
        if (cur() != ';')
            return fail(TLumoXMLStatus::ExpectedSemicolon);
        ++p_;
        char16_t c = 0;
        const std::string_view entity(reinterpret_cast<const char*>(name) - 1, length + 2);
        if (length <= kMaxEntityName && XmlCharForEntity(entity, c)) {
            out += c;
        } else {
            for (const char b : entity)
                out += static_cast<char16_t>(static_cast<unsigned char>(b));
        }
        return true;
    }

    // Character data up to "<" or the end: white-space runs become one
    // space, entities are resolved, other bytes go through Windows-1252.
    bool readText(TLumoXMLItem& item)
    {
        std::u16string text;
        const void* lt = std::memchr(p_, '<', static_cast<size_t>(end_ - p_));
        text.reserve(static_cast<size_t>((lt ? static_cast<const unsigned char*>(lt) : end_) - p_));
        while (!atEnd() && *p_ != '<') {
            const unsigned char c = *p_;
            if (kClass[c] & kSpace) {
                text += u' ';
                skipSpace();
            } else if (c == '&') {
                if (!readEntity(text))
                    return false;
            } else {
                appendPlain(text);
            }
        }
        if (!text.empty())
            item.Add(std::make_unique<TLumoXMLText>(std::move(text)));
        return true;
    }

    // Converts the run of plain bytes at the current position in one go; a
    // run ends at markup, an entity, white space or Limit.
    void appendPlain(std::u16string& out, const unsigned char* limit = nullptr)
    {
        const unsigned char* q = p_;
        if (limit) {
            const void* amp = std::memchr(p_, '&', static_cast<size_t>(limit - p_));
            q = amp ? static_cast<const unsigned char*>(amp) : limit;
        } else {
            while (q < end_ && !(kClass[*q] & kTextStop))
                ++q;
        }
        const size_t n = static_cast<size_t>(q - p_);
        const size_t at = out.size();
        out.resize(at + n);
        char16_t* dst = out.data() + at;
        unsigned char high = 0;
        for (size_t i = 0; i < n; ++i)
            high |= p_[i];
        if (high < 0x80) {
            // ASCII widens as it stands; this loop vectorises.
            for (size_t i = 0; i < n; ++i)
                dst[i] = p_[i];
        } else {
            for (size_t i = 0; i < n; ++i)
                dst[i] = kWide[p_[i]];
        }
        p_ = q;
    }

    // Up to the closing quote, which is consumed.
    bool readValue(unsigned char quote, std::u16string& value)
    {
        const auto* close = static_cast<const unsigned char*>(std::memchr(p_, quote, static_cast<size_t>(end_ - p_)));
        if (!close) {
            p_ = end_;
            return fail(TLumoXMLStatus::UnexpectedEnd);
        }
        value.reserve(value.size() + static_cast<size_t>(close - p_));
        while (p_ < close) {
            if (*p_ == '&') {
                // An entity can't hold the quote, so the end stays put.
                if (!readEntity(value))
                    return false;
            } else {
                appendPlain(value, close);
            }
        }
        ++p_;
        return true;
    }

    bool parseParameters()
    {
        params_.clear();
        skipSpace();
        while (is(kNameStart)) {
            const size_t name = packed::Open(params_);
            const unsigned char* start = p_;
            while (is(kNameChar))
                ++p_;
            const size_t at = params_.size();
            params_.resize(at + static_cast<size_t>(p_ - start));
            std::copy(start, p_, params_.begin() + static_cast<std::ptrdiff_t>(at));
            packed::Close(params_, name);
            skipSpace();
            if (cur() != '=')
                return fail(TLumoXMLStatus::ExpectedEquals);
            ++p_;
            const unsigned char quote = cur();
            if (quote != '"' && quote != '\'')
                return fail(TLumoXMLStatus::ExpectedQuote);
            ++p_;
            skipSpace();
            const size_t value = packed::Open(params_);
            if (!readValue(quote, params_))
                return false;
            packed::Close(params_, value);
            skipSpace();
        }
        return true;
    }

    void attachParameters(TLumoXMLTag& tag)
    {
        if (params_.empty())
            return;
        tag.packed_ = static_cast<char16_t*>(xmlalloc::Allocate(params_.size() * sizeof(char16_t)));
        std::memcpy(tag.packed_, params_.data(), params_.size() * sizeof(char16_t));
        tag.packedSize_ = params_.size();
    }

    bool parseDeclaration(TLumoXMLItem& item)
    {
        std::string text;
        if (cur() == '-') {
            if (!match("--"))
                return fail(TLumoXMLStatus::BadComment);
            if (!readUpTo("-->", text))
                return false;
            item.Add(std::make_unique<TLumoXMLCommentTag>(std::move(text)));
        } else if (cur() == '[') {
            if (!match("[CDATA["))
                return fail(TLumoXMLStatus::BadCData);
            if (!readUpTo("]]>", text))
                return false;
            item.Add(std::make_unique<TLumoXMLCDataTag>(std::move(text)));
        } else {
            if (!readUpTo(">", text))
                return false;
            if (text.compare(0, 7, "DOCTYPE") == 0) {
                size_t from = 7;
                while (from < text.size() && static_cast<unsigned char>(text[from]) < 33)
                    ++from;
                item.Add(std::make_unique<TLumoXMLDOCTYPETag>(text.substr(from)));
            } else {
                item.Add(std::make_unique<TLumoXMLExtraTag>(std::move(text)));
            }
        }
        return true;
    }

    bool parseProcess(TLumoXMLItem& item)
    {
        ++p_;
        auto* tag = item.Add(std::make_unique<TLumoXMLProcessTag>(readName()));
        if (!parseParameters())
            return false;
        attachParameters(*tag);
        if (!match("?>"))
            return fail(TLumoXMLStatus::ExpectedProcessEnd);
        return true;
    }

    // After "<" of a start or end tag. Closed is set when this is the end
    // tag of Open.
    bool parseTag(TLumoXMLItem& item, const TLumoXMLTag* open, int depth, bool& closed)
    {
        const bool closing = cur() == '/';
        if (closing)
            ++p_;
        std::string name = readName();
        if (!parseParameters())
            return false;
        const bool empty = cur() == '/';
        if (empty)
            ++p_;
        if (cur() != '>')
            return fail(TLumoXMLStatus::ExpectedTagEnd);
        ++p_;
        if (closing && open && name == open->Name) {
            closed = true;
            return true;
        }
        auto* tag = item.Add(std::make_unique<TLumoXMLTag>(closing ? "/" + name : std::move(name)));
        attachParameters(*tag);
        tag->IsEmptyTag = empty;
        // An end tag that closes nothing is kept as a leaf.
        if (empty || closing)
            return true;
        if (depth >= TLumoXML::kMaxDepth)
            return fail(TLumoXMLStatus::TooDeep);
        return parseContent(*tag, tag, depth + 1);
    }

    bool parseContent(TLumoXMLItem& item, const TLumoXMLTag* open, int depth)
    {
        for (;;) {
            skipSpace();
            if (atEnd())
                break;
            if (*p_ != '<') {
                if (!readText(item))
                    return false;
                if (atEnd())
                    break;
            }
            ++p_; // "<"
            bool closed = false;
            bool ok = true;
            switch (cur()) {
            case '?': ok = parseProcess(item); break;
            case '%': {
                ++p_;
                std::string text;
                ok = readUpTo("%>", text);
                if (ok)
                    item.Add(std::make_unique<TLumoXMLScriptTag>(std::move(text)));
                break;
            }
            case '!':
                ++p_;
                ok = parseDeclaration(item);
                break;
            default: ok = parseTag(item, open, depth, closed); break;
            }
            if (!ok)
                return false;
            if (closed)
                return true;
        }
        return open ? fail(TLumoXMLStatus::UnclosedTag) : true;
    }

    const unsigned char* begin_;
    const unsigned char* p_;
    const unsigned char* end_;
    TLumoXMLStatus status_ = TLumoXMLStatus::Ok;
    int64_t offset_ = 0;
    std::u16string params_; // the parameters of the current tag, packed
};

const char* TLumoXMLParseResult::Description() const
{
    switch (Status) {
    case TLumoXMLStatus::Ok: return "no error";
    case TLumoXMLStatus::UnexpectedEnd: return "unexpected end of document";
    case TLumoXMLStatus::ExpectedEquals: return "expected \"=\" after a parameter name";
    case TLumoXMLStatus::ExpectedQuote: return "expected a quote before a parameter value";
    case TLumoXMLStatus::ExpectedTagEnd: return "expected \">\" at the end of a tag";
    case TLumoXMLStatus::ExpectedProcessEnd: return "expected \"?>\" at the end of a processing instruction";
    case TLumoXMLStatus::BadComment: return "malformed comment start";
    case TLumoXMLStatus::BadCData: return "malformed CDATA start";
    case TLumoXMLStatus::ExpectedSemicolon: return "expected \";\" after an entity";
    case TLumoXMLStatus::UnclosedTag: return "tag not closed at the end of the document";
    case TLumoXMLStatus::TooDeep: return "tags nested too deeply";
    case TLumoXMLStatus::TooLarge: return "document too large";
    case TLumoXMLStatus::OutOfMemory: return "out of memory";
    }
    return "unknown error";
}

bool TLumoXML::Parse(std::string_view bytes)
{
    Root.Clear();
    if (bytes.size() > size_t(INT32_MAX)) {
        result_ = {TLumoXMLStatus::TooLarge, 0};
        return false;
    }
    try {
        result_ = TLumoXMLParser(bytes).run(Root);
    } catch (const std::bad_alloc&) {
        result_ = {TLumoXMLStatus::OutOfMemory, 0};
    }
    if (!result_)
        Root.Clear();
    return bool(result_);
}

bool TLumoXML::Parse(TLumoStream& stream)
{
    // A plain memory stream is read in place; any other is copied out first.
    if (typeid(stream) == typeid(TLumoStream)) {
        const std::string_view bytes(reinterpret_cast<const char*>(stream.Data()),
                                     static_cast<size_t>(stream.GetSize()));
        return Parse(bytes);
    }
    const std::string text = stream.GetText();
    return Parse(std::string_view(text));
}

} // namespace kolvarin
