#include "media/locale.h"

#include <cctype>

namespace kolvarin::media {
namespace {

struct Language {
    const char* two;
    const char* three;
    const char* threeAlt;
    LCID lcid;
    const char16_t* name;
};

constexpr Language kLanguages[] = {
    {"en", "eng", "", 0x0409, u"English"},     {"de", "deu", "ger", 0x0407, u"German"},
    {"fr", "fra", "fre", 0x040C, u"French"},   {"es", "spa", "", 0x0C0A, u"Spanish"},
    {"it", "ita", "", 0x0410, u"Italian"},     {"pt", "por", "", 0x0816, u"Portuguese"},
    {"nl", "nld", "dut", 0x0413, u"Dutch"},    {"sv", "swe", "", 0x041D, u"Swedish"},
    {"da", "dan", "", 0x0406, u"Danish"},      {"no", "nor", "", 0x0414, u"Norwegian"},
    {"fi", "fin", "", 0x040B, u"Finnish"},     {"pl", "pol", "", 0x0415, u"Polish"},
    {"cs", "ces", "cze", 0x0405, u"Czech"},    {"hu", "hun", "", 0x040E, u"Hungarian"},
    {"ru", "rus", "", 0x0419, u"Russian"},     {"uk", "ukr", "", 0x0422, u"Ukrainian"},
    {"el", "ell", "gre", 0x0408, u"Greek"},    {"tr", "tur", "", 0x041F, u"Turkish"},
    {"ar", "ara", "", 0x0401, u"Arabic"},      {"he", "heb", "", 0x040D, u"Hebrew"},
    {"ja", "jpn", "", 0x0411, u"Japanese"},    {"ko", "kor", "", 0x0412, u"Korean"},
    {"zh", "zho", "chi", 0x0804, u"Chinese"},  {"hi", "hin", "", 0x0439, u"Hindi"},
    {"ro", "ron", "rum", 0x0418, u"Romanian"}, {"bg", "bul", "", 0x0402, u"Bulgarian"},
    {"hr", "hrv", "", 0x041A, u"Croatian"},    {"sk", "slk", "slo", 0x041B, u"Slovak"},
    {"sl", "slv", "", 0x0424, u"Slovenian"},   {"sr", "srp", "", 0x0C1A, u"Serbian"},
    {"th", "tha", "", 0x041E, u"Thai"},        {"vi", "vie", "", 0x042A, u"Vietnamese"},
    {"id", "ind", "", 0x0421, u"Indonesian"},  {"ca", "cat", "", 0x0403, u"Catalan"},
};

} // namespace

LCID LcidFromLanguageCode(const std::string& code)
{
    std::string c;
    for (char ch : code)
        c += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (c.empty())
        return 0;
    for (const auto& l : kLanguages)
        if (c == l.two || c == l.three || (l.threeAlt[0] && c == l.threeAlt))
            return l.lcid;
    return 0;
}

std::u16string EnglishLanguageName(LCID lcid)
{
    for (const auto& l : kLanguages)
        if (l.lcid == lcid)
            return l.name;
    return {};
}

} // namespace kolvarin::media
