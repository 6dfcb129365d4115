#include "zip/zmmessages.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "codepage/codepage.h"

namespace kolvarin {

namespace {

constexpr std::pair<int, const char16_t*> kEnglish[] = {
    {10102, u"Error - no zip file specified!"},
    {10201, u"Seek error reading Zip archive!"},
    {10203, u"Warning - Error in zip structure!"},
    {10204, u"Warning - Garbage at the end of the zipfile!"},
    {10205, u"File larger than 4GB"},
    {10504, u"Extract directory '%s' must exist"},
    {10650, u"Failed to load %s"},
    {10651, u"Unable to load %s - It is old or corrupt"},
    {11001, u"Input file does not exist"},
    {11002, u"Zip file could not be opened"},
    {11007, u"User canceled operation"},
    {11008, u"Seek error in input file"},
    {11011, u"Error while reading the End Of Central Directory"},
    {11013, u"Error while reading a central header"},
    {11015, u"A central header signature is wrong"},
    {11017, u"Error while reading a central file name"},
    {11022, u"Error while reading a file comment"},
    {11036, u"This archive is not a valid Zip archive"},
    {11037, u"This is the first disk in a backup set,\\nplease insert the last disk of this set"},
    {11038, u"This is the %dth disk in a backup set,\\nplease insert the last disk of this set"},
    {11045, u"This is the first file in a backup set,\\nplease choose the last file of this set"},
    {11409, u"*Loading Directory"},
    {11410, u"*Joining split zip file"},
};

std::u16string ToU16(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

} // namespace

std::u16string ZipMessageText(int number)
{
    const auto it = std::find_if(std::begin(kEnglish), std::end(kEnglish),
                                 [number](const auto& entry) { return entry.first == number; });
    if (it == std::end(kEnglish)) {
        return u"Resource missing for " + ToU16(std::to_string(number));
    }
    std::u16string text = it->second;
    for (std::size_t at = text.find(u"\\n"); at != std::u16string::npos; at = text.find(u"\\n", at + 2)) {
        text.replace(at, 2, u"\r\n");
    }
    return text;
}

std::u16string ZipMessageText(int number, const std::u16string& argument)
{
    std::u16string text = ZipMessageText(number);
    std::size_t at = text.find(u"%s");
    if (at == std::u16string::npos) {
        at = text.find(u"%d");
    }
    if (at != std::u16string::npos) {
        text.replace(at, 2, argument);
    }
    return text;
}

std::u16string ZipLanguageName() { return u"US: default"; }

EZipHandler::EZipHandler(int number) : EZipHandler(number, std::u16string()) {}

EZipHandler::EZipHandler(int number, const std::u16string& argument)
    : std::runtime_error(Utf16ToUtf8(ZipMessageText(number, argument))),
      number_(number),
      text_(ZipMessageText(number, argument))
{}

} // namespace kolvarin
