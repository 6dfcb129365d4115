#include "zip/zmmessages.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "codepage/codepage.h"

namespace kolvarin {

namespace {

constexpr std::pair<TZMMessage, const char16_t*> kEnglish[] = {
    {TZMMessage::NoZipFile, u"Error - no zip file specified!"},
    {TZMMessage::SeekError, u"Seek error reading Zip archive!"},
    {TZMMessage::StructureWarning, u"Warning - Error in zip structure!"},
    {TZMMessage::GarbageAtEnd, u"Warning - Garbage at the end of the zipfile!"},
    {TZMMessage::LargerThan4GB, u"File larger than 4GB"},
    {TZMMessage::ExtractFolderMissing, u"Extract directory '%s' must exist"},
    {TZMMessage::LibraryLoadFailed, u"Failed to load %s"},
    {TZMMessage::LibraryOldOrCorrupt, u"Unable to load %s - It is old or corrupt"},
    {TZMMessage::InputMissing, u"Input file does not exist"},
    {TZMMessage::CannotOpen, u"Zip file could not be opened"},
    {TZMMessage::Cancelled, u"User canceled operation"},
    {TZMMessage::InputSeekError, u"Seek error in input file"},
    {TZMMessage::EndRecordRead, u"Error while reading the End Of Central Directory"},
    {TZMMessage::CentralHeaderRead, u"Error while reading a central header"},
    {TZMMessage::CentralSignature, u"A central header signature is wrong"},
    {TZMMessage::CentralNameRead, u"Error while reading a central file name"},
    {TZMMessage::CommentRead, u"Error while reading a file comment"},
    {TZMMessage::NotZipArchive, u"This archive is not a valid Zip archive"},
    {TZMMessage::FirstDiskOfSet, u"This is the first disk in a backup set,\\nplease insert the last disk of this set"},
    {TZMMessage::NthDiskOfSet, u"This is the %dth disk in a backup set,\\nplease insert the last disk of this set"},
    {TZMMessage::FirstFileOfSet, u"This is the first file in a backup set,\\nplease choose the last file of this set"},
    {TZMMessage::LoadingDirectory, u"*Loading Directory"},
    {TZMMessage::JoiningSplitFile, u"*Joining split zip file"},
};

std::u16string ToU16(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

} // namespace

std::u16string ZipMessageText(TZMMessage number)
{
    const auto it = std::find_if(std::begin(kEnglish), std::end(kEnglish),
                                 [number](const auto& entry) { return entry.first == number; });
    if (it == std::end(kEnglish)) {
        return u"Resource missing for " + ToU16(std::to_string(static_cast<int>(number)));
    }
    std::u16string text = it->second;
    for (std::size_t at = text.find(u"\\n"); at != std::u16string::npos; at = text.find(u"\\n", at + 2)) {
        text.replace(at, 2, u"\r\n");
    }
    return text;
}

std::u16string ZipMessageText(TZMMessage number, const std::u16string& argument)
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

EZipHandler::EZipHandler(TZMMessage number) : EZipHandler(number, std::u16string()) {}

EZipHandler::EZipHandler(TZMMessage number, const std::u16string& argument)
    : std::runtime_error(codepage::Utf16ToUtf8(ZipMessageText(number, argument))),
      number_(static_cast<int>(number)),
      text_(ZipMessageText(number, argument))
{}

} // namespace kolvarin
