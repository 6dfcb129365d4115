#include "htmllist/markuptext_p.h"

#include <algorithm>
#include <array>
#include <utility>

namespace kolvarin::markup {

namespace {

// Replaced in this order by the front end; "&amp;" leaves "&&".
constexpr std::array<std::pair<std::string_view, char>, 8> Entities = {{
    {"&quot;", '"'},
    {"&sect;", '\xA7'},
    {"&permil;", '\x89'},
    {"&reg;", '\xAE'},
    {"&copy;", '\xA9'},
    {"&para;", '\xB6'},
    {"&trade;", '\x99'},
    {"&euro;", '\x80'},
}};

constexpr int MaxNumber = 32767;

char upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

bool matchesAt(std::string_view text, std::size_t at, std::string_view word)
{
    if (text.size() - at < word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (upper(text[at + i]) != upper(word[i]))
            return false;
    return true;
}

// The entities are replaced one at a time, first occurrence first, until
// none is left. Every replacement shrinks the text and a new entity can only
// start at the second "&" that "&amp;" leaves, so one pass that looks at
// that "&" again gives the same text in linear time.
std::string replaceEntities(std::string text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '&') {
            out += text[i++];
            continue;
        }
        if (matchesAt(text, i, "&amp;")) {
            out += '&';
            i += 4;
            text[i] = '&'; // the second "&" is read again
            continue;
        }
        auto entity =
            std::find_if(Entities.begin(), Entities.end(), [&](const auto& e) { return matchesAt(text, i, e.first); });
        if (entity == Entities.end()) {
            out += text[i++];
            continue;
        }
        out += entity->second;
        i += entity->first.size();
    }
    return out;
}

} // namespace

std::string PrepareMarkup(std::string_view input)
{
    std::string text(input);
    if (text.find('&') != std::string::npos)
        text = replaceEntities(std::move(text));
    if (const std::size_t open = text.find("<#"); open != std::string::npos) {
        text.erase(open, 1);
        if (const std::size_t close = text.find('>', open); close != std::string::npos)
            text.erase(close, 1);
    }
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\r')
            out += "<BR>";
        else if (c != '\n')
            out += c;
    }
    return out;
}

std::string RunText(std::string_view run)
{
    static constexpr std::pair<std::string_view, char> RunEntities[] = {{"&nbsp;", ' '}, {"&lt;", '<'}, {"&gt;", '>'}};
    std::string text;
    text.reserve(run.size());
    for (std::size_t i = 0; i < run.size();) {
        auto entity = std::find_if(std::begin(RunEntities), std::end(RunEntities),
                                   [&](const auto& e) { return run.substr(i, e.first.size()) == e.first; });
        if (run[i] != '&' || entity == std::end(RunEntities)) {
            text += run[i++];
            continue;
        }
        text += entity->second;
        i += entity->first.size();
    }
    return text;
}

std::string UpperCase(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = upper(c);
    return out;
}

std::optional<std::string_view> TagAttribute(std::string_view tag, std::string_view upperTag, std::string_view name)
{
    const std::size_t found = upperTag.find(name);
    if (found == std::string_view::npos)
        return std::nullopt;
    std::size_t at = found + name.size();
    auto skipBlanks = [&] {
        while (at < tag.size() && tag[at] == ' ')
            ++at;
    };
    skipBlanks();
    if (at >= tag.size() || tag[at] != '=')
        return std::string_view();
    ++at;
    skipBlanks();
    if (at < tag.size() && tag[at] == '"') {
        const std::size_t close = tag.find('"', at + 1);
        const std::size_t end = close == std::string_view::npos ? tag.size() : close;
        return tag.substr(at + 1, end - at - 1);
    }
    std::size_t end = at;
    while (end < tag.size() && tag[end] != ' ' && tag[end] != '>')
        ++end;
    return tag.substr(at, end - at);
}

std::string_view FirstQuoted(std::string_view tag)
{
    const std::size_t open = tag.find('"');
    if (open == std::string_view::npos)
        return {};
    const std::size_t close = tag.find('"', open + 1);
    if (close == std::string_view::npos)
        return {};
    return tag.substr(open + 1, close - open - 1);
}

int LeadingNumber(std::string_view text)
{
    std::size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        negative = text[at++] == '-';
    int value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        value = std::min(MaxNumber, value * 10 + (text[at] - '0'));
    return negative ? -value : value;
}

std::optional<int> WholeNumber(std::string_view text)
{
    std::size_t digits = 0;
    const std::size_t start = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    for (std::size_t i = start; i < text.size(); ++i, ++digits)
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
    if (digits == 0)
        return std::nullopt;
    return LeadingNumber(text);
}

} // namespace kolvarin::markup
