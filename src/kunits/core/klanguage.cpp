#include "core/klanguage.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "core/kconfig.h"
#include "core/kfilesave.h"
#include "core/kpaths.h"
#include "core/kstrings.h"
#include "core/kxmlfile_p.h"

namespace kolvarin {

namespace {

constexpr const char* kRootName = "KolvarinLanguageFile";

// One conversion of a format text, as found at its '%'.
struct Spec {
    enum class Kind { None, Literal, Text, Integer, Real } kind = Kind::None;
    size_t length = 0; // characters from the '%' on
    bool left = false, zero = false, alternate = false;
    size_t width = 0;
    int precision = -1;
    char16_t type = 0;
};

constexpr size_t kMaxWidth = 1024;

// Reads the conversion that starts at format[at] == '%'. Kind None means the
// '%' starts no conversion and stands for itself.
Spec ParseSpec(std::u16string_view format, size_t at)
{
    Spec spec;
    size_t i = at + 1;
    const size_t n = format.size();
    if (i < n && format[i] == u'%') {
        spec.kind = Spec::Kind::Literal;
        spec.length = 2;
        return spec;
    }
    for (; i < n; ++i) {
        if (format[i] == u'-')
            spec.left = true;
        else if (format[i] == u'0')
            spec.zero = true;
        else if (format[i] == u'#')
            spec.alternate = true;
        else
            break;
    }
    for (; i < n && format[i] >= u'0' && format[i] <= u'9'; ++i)
        spec.width = std::min<size_t>(spec.width * 10 + (format[i] - u'0'), kMaxWidth);
    if (i < n && format[i] == u'.') {
        spec.precision = 0;
        for (++i; i < n && format[i] >= u'0' && format[i] <= u'9'; ++i)
            spec.precision = std::min<int>(spec.precision * 10 + (format[i] - u'0'), int(kMaxWidth));
    }
    if (format.substr(i, 3) == u"I64")
        i += 3;
    while (i < n && (format[i] == u'l' || format[i] == u'h'))
        ++i;
    if (i >= n)
        return Spec{};
    spec.type = format[i];
    switch (spec.type) {
    case u's': case u'S':
        spec.kind = Spec::Kind::Text;
        break;
    case u'd': case u'i': case u'u': case u'x': case u'X': case u'c':
        spec.kind = Spec::Kind::Integer;
        break;
    case u'f':
        spec.kind = Spec::Kind::Real;
        break;
    default:
        return Spec{};
    }
    spec.length = i + 1 - at;
    return spec;
}

std::vector<Spec::Kind> ArgumentKinds(std::u16string_view format)
{
    std::vector<Spec::Kind> kinds;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != u'%')
            continue;
        const Spec spec = ParseSpec(format, i);
        if (spec.kind == Spec::Kind::None)
            continue;
        if (spec.kind != Spec::Kind::Literal)
            kinds.push_back(spec.kind);
        i += spec.length - 1;
    }
    return kinds;
}

void Pad(std::u16string& out, std::u16string body, const Spec& spec, size_t signLength)
{
    if (body.size() < spec.width) {
        const size_t fill = spec.width - body.size();
        if (spec.left)
            body.append(fill, u' ');
        else if (spec.zero)
            body.insert(signLength, fill, u'0');
        else
            body.insert(0, fill, u' ');
    }
    out += body;
}

std::u16string Widen(const char* text)
{
    std::u16string out;
    for (; *text; ++text)
        out += static_cast<char16_t>(static_cast<unsigned char>(*text));
    return out;
}

void FormatInteger(std::u16string& out, const WideFormatArg& arg, Spec spec)
{
    char buffer[32];
    const int64_t value = arg.asSigned();
    switch (spec.type) {
    case u'u':
        std::snprintf(buffer, sizeof buffer, "%llu", static_cast<unsigned long long>(value));
        break;
    case u'x':
    case u'X':
        std::snprintf(buffer, sizeof buffer, spec.type == u'x' ? "%llx" : "%llX",
                      static_cast<unsigned long long>(value < 0 && value >= INT32_MIN ? uint32_t(value) : uint64_t(value)));
        break;
    default:
        std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(value));
        break;
    }
    std::u16string body = Widen(buffer);
    const size_t sign = body[0] == u'-' ? 1 : 0;
    if (spec.precision > 0 && body.size() - sign < size_t(spec.precision))
        body.insert(sign, size_t(spec.precision) - (body.size() - sign), u'0');
    if (spec.alternate && (spec.type == u'x' || spec.type == u'X') && value != 0)
        body.insert(0, spec.type == u'x' ? u"0x" : u"0X");
    spec.zero = spec.zero && spec.precision < 0;
    Pad(out, body, spec, sign);
}

void FormatReal(std::u16string& out, double value, Spec spec)
{
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", spec.precision < 0 ? 6 : std::min(spec.precision, 60), value);
    spec.zero = spec.zero && std::isfinite(value);
    Pad(out, Widen(buffer), spec, buffer[0] == '-' ? 1 : 0);
}

void FormatArgument(std::u16string& out, const WideFormatArg& arg, Spec spec)
{
    const auto type = arg.type();
    if (spec.type == u'c' && type != WideFormatArg::Type::Real) {
        const std::u16string_view text = arg.text();
        const char16_t c = type == WideFormatArg::Type::Text ? (text.empty() ? u'\0' : text[0])
                                                             : static_cast<char16_t>(arg.asSigned());
        spec.zero = false;
        Pad(out, std::u16string(1, c), spec, 0);
    } else if (type == WideFormatArg::Type::Text) {
        std::u16string_view text = arg.text();
        if (spec.kind == Spec::Kind::Text && spec.precision >= 0 && text.size() > size_t(spec.precision))
            text = text.substr(0, size_t(spec.precision));
        spec.zero = false;
        Pad(out, std::u16string(text), spec, 0);
    } else if (spec.kind == Spec::Kind::Real || type == WideFormatArg::Type::Real) {
        FormatReal(out, arg.asReal(), spec);
    } else {
        if (spec.kind == Spec::Kind::Text)
            spec.type = type == WideFormatArg::Type::Unsigned ? u'u' : u'd';
        FormatInteger(out, arg, spec);
    }
}

bool IsDigits(std::u16string_view text)
{
    if (text.empty())
        return false;
    for (char16_t c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// Characters up to and including the blank go at both ends.
std::u16string TrimControls(std::u16string_view text)
{
    size_t first = 0, last = text.size();
    while (first < last && text[first] <= u' ')
        ++first;
    while (last > first && text[last - 1] <= u' ')
        --last;
    return std::u16string(text.substr(first, last - first));
}

// The text of a Lang element's single child: a CDATA section holds
// Windows-1252 bytes, plain character data is already UTF-16.
bool LangText(const TLumoXMLTag& lang, std::u16string& text)
{
    if (lang.Count() != 1)
        return false;
    const TLumoXMLItem* child = lang.Item(0);
    if (child->Kind() == TLumoXMLItemKind::CData)
        text = AnsiToUtf16(static_cast<const TLumoXMLCDataTag*>(child)->Text);
    else if (child->Kind() == TLumoXMLItemKind::Text)
        text = static_cast<const TLumoXMLText*>(child)->Text;
    else
        return false;
    text = TrimControls(text);
    return true;
}

void ReadSection(TKLanguage& texts, const TLanguageSectionInfo& section, const TLumoXMLTag& element)
{
    std::vector<bool> found(static_cast<size_t>(section.Count), false);
    for (int32_t i = 0; i < element.Count(); ++i) {
        const TLumoXMLItem* item = element.Item(i);
        if (item->Kind() != TLumoXMLItemKind::Tag)
            continue;
        const auto& lang = *static_cast<const TLumoXMLTag*>(item);
        const std::u16string id = GetXmlAttribute(&lang, "id", u"");
        if (!IsDigits(id))
            continue;
        uint64_t number = 0;
        for (char16_t c : id) {
            number = number * 10 + (c - u'0');
            if (number > INT32_MAX)
                throw std::runtime_error("'" + Utf16ToUtf8(id) + "' is not a valid integer value");
        }
        std::u16string text;
        if (number < 1 || number > uint64_t(section.Count) || !LangText(lang, text))
            continue;
        const int position = section.Position + static_cast<int>(number) - 1;
        const std::u16string_view builtin = BuiltinLanguageText(position);
        texts.Texts[static_cast<size_t>(position)] = SameFormatArguments(text, builtin) ? text : std::u16string(builtin);
        found[number - 1] = true;
    }
    for (int k = 1; k <= section.Count; ++k)
        if (!found[static_cast<size_t>(k - 1)])
            texts.Texts[static_cast<size_t>(section.Position + k - 1)] =
                u"[Language tag \"" + Utf8ToUtf16(std::to_string(k)) + u"\" from section \"" +
                AnsiToUtf16(section.Name) + u"\" is missing]";
}

std::u16string ThreeDigits(int number)
{
    std::string text = std::to_string(number);
    if (text.size() < 3)
        text.insert(0, 3 - text.size(), '0');
    return Utf8ToUtf16(text);
}

} // namespace

int64_t WideFormatArg::asSigned() const
{
    switch (type_) {
    case Type::Signed: return signed_;
    case Type::Unsigned: return static_cast<int64_t>(unsigned_);
    case Type::Real:
        return std::isfinite(real_) ? static_cast<int64_t>(std::trunc(std::fmax(std::fmin(real_, 9.2e18), -9.2e18))) : 0;
    case Type::Text: return 0;
    }
    return 0;
}

double WideFormatArg::asReal() const
{
    switch (type_) {
    case Type::Real: return real_;
    case Type::Signed: return static_cast<double>(signed_);
    case Type::Unsigned: return static_cast<double>(unsigned_);
    case Type::Text: return 0;
    }
    return 0;
}

std::u16string WideFormatList(std::u16string_view format, std::initializer_list<WideFormatArg> args)
{
    std::u16string out;
    auto next = args.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != u'%') {
            out += format[i];
            continue;
        }
        const Spec spec = ParseSpec(format, i);
        if (spec.kind == Spec::Kind::None) {
            out += u'%';
            continue;
        }
        if (spec.kind == Spec::Kind::Literal)
            out += u'%';
        else if (next != args.end())
            FormatArgument(out, *next++, spec);
        i += spec.length - 1;
    }
    return out;
}

bool SameFormatArguments(std::u16string_view a, std::u16string_view b)
{
    return ArgumentKinds(a) == ArgumentKinds(b);
}

const std::u16string& TKLanguage::Text(TLanguageSection section, int number) const
{
    static const std::u16string empty;
    const TLanguageSectionInfo& info = LanguageSection(section);
    if (number < 1 || number > info.Count)
        return empty;
    return Texts[static_cast<size_t>(info.Position + number - 1)];
}

void SetDefaultLanguage(TKLanguage& texts)
{
    for (int i = 0; i < kLanguageTextCount; ++i)
        texts.Texts[static_cast<size_t>(i)] = BuiltinLanguageText(i);
}

void LoadLanguageFile(TKLanguage& texts, const std::string& fileName)
{
    std::string bytes;
    // The streams of the XML model hold at most 2 GiB; a language file is far smaller.
    if (ReadWholeFile(fileName, bytes, 0x7FFFFFFF))
        LoadLanguageText(texts, bytes);
}

void LoadLanguageText(TKLanguage& texts, std::string_view bytes)
{
    TLumoXML doc;
    if (!doc.Parse(bytes))
        return;
    const TLumoXMLTag* root = FindXmlTag(&doc.Root, kRootName);
    if (!root)
        return;
    for (int32_t i = 0; i < root->Count(); ++i) {
        const TLumoXMLItem* item = root->Item(i);
        if (item->Kind() != TLumoXMLItemKind::Tag)
            continue;
        const auto& element = *static_cast<const TLumoXMLTag*>(item);
        for (const TLanguageSectionInfo& section : LanguageSections())
            if (element.Name == section.Name)
                ReadSection(texts, section, element);
    }
}

void SaveLanguageFile(const TKLanguage& texts, const std::string& fileName)
{
    TLumoXML doc;
    TLumoXMLTag* root = AddXmlTag(doc.Root, kRootName);
    root->AddParameter("Version", AnsiToUtf16(ConfigFileVersion));
    for (const TLanguageSectionInfo& section : LanguageSections()) {
        TLumoXMLTag* element = AddXmlTag(*root, section.Name);
        for (int k = 1; k <= section.Count; ++k) {
            TLumoXMLTag* lang = AddXmlTag(*element, "Lang");
            lang->AddParameter("id", ThreeDigits(k));
            const std::u16string& text = texts.Texts[static_cast<size_t>(section.Position + k - 1)];
            // A CDATA section cannot hold its own end marker: such a text
            // goes as escaped character data, which the reader accepts too.
            const std::string bytes = Utf16ToAnsi(text);
            if (bytes.find("]]>") == std::string::npos)
                lang->Add(std::make_unique<TLumoXMLCDataTag>(bytes));
            else
                lang->Add(std::make_unique<TLumoXMLText>(text));
        }
    }
    SaveXmlFile(doc, fileName);
}

TKLanguage Language = [] {
    TKLanguage texts;
    SetDefaultLanguage(texts);
    return texts;
}();

std::string LanguageFolder()
{
    return ApplicationPath + "data/languages/";
}

} // namespace kolvarin
