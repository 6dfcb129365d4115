#include "core/xml/lumoxmlentities.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

namespace kolvarin {

namespace {

// Latin-1 names run in code order from 160 to 255.
constexpr std::array<const char*, 96> kLatin1 = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",   "ordf",
    "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",
    "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave",
    "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",
    "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",
    "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute",
    "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave",
    "iacute", "icirc",  "iuml",   "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide",
    "oslash", "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};

struct Tables {
    std::array<std::string, 256> byCode; // codes below 256
    std::string euro = "&euro;";
    // Entity text to code, sorted by text for a binary search.
    std::vector<std::pair<std::string_view, char16_t>> byText;

    Tables()
    {
        byCode['"'] = "&quot;";
        byCode['&'] = "&amp;";
        byCode['<'] = "&lt;";
        byCode['>'] = "&gt;";
        for (size_t i = 0; i < kLatin1.size(); ++i)
            byCode[160 + i] = std::string("&") + kLatin1[i] + ";";
        for (size_t c = 0; c < byCode.size(); ++c) {
            if (!byCode[c].empty())
                byText.emplace_back(byCode[c], static_cast<char16_t>(c));
        }
        byText.emplace_back(euro, char16_t(8364));
        std::sort(byText.begin(), byText.end());
    }
};

const Tables& tables()
{
    static const Tables instance;
    return instance;
}

} // namespace

std::string_view XmlEntityForChar(char16_t c)
{
    if (c < 256)
        return tables().byCode[c];
    if (c == 8364)
        return tables().euro;
    return {};
}

bool XmlCharForEntity(std::string_view entity, char16_t& c)
{
    const auto& table = tables().byText;
    const auto it = std::lower_bound(table.begin(), table.end(), entity,
                                     [](const auto& entry, std::string_view key) { return entry.first < key; });
    if (it == table.end() || it->first != entity)
        return false;
    c = it->second;
    return true;
}

} // namespace kolvarin
