#pragma once

#include <stdexcept>
#include <string>

namespace kolvarin {

// The zip component's messages, numbered as the design numbers them; the
// number is what ErrCode, OnMessage and EZipHandler::Number report.
enum class TZMMessage : int {
    NoZipFile = 10102,
    CallbackFailed = 10106,
    SeekError = 10201,
    StructureWarning = 10203,
    GarbageAtEnd = 10204,
    LargerThan4GB = 10205,
    ExtractFolderMissing = 10504,
    LibraryLoadFailed = 10650,
    LibraryOldOrCorrupt = 10651,
    InputMissing = 11001,
    CannotOpen = 11002,
    Cancelled = 11007,
    InputSeekError = 11008,
    EndRecordRead = 11011,
    CentralHeaderRead = 11013,
    CentralSignature = 11015,
    CentralNameRead = 11017,
    CommentRead = 11022,
    NotZipArchive = 11036,
    FirstDiskOfSet = 11037,
    NthDiskOfSet = 11038,
    FirstFileOfSet = 11045,
    LoadingDirectory = 11409,
    JoiningSplitFile = 11410,
};

// The texts of the messages. Only the built-in English table exists (no
// language table is shipped); a number without a text reads "Resource
// missing for " + number. "\n" in a table text becomes CR LF.
std::u16string ZipMessageText(TZMMessage number);
// The text with its first "%s" or "%d" replaced by the argument.
std::u16string ZipMessageText(TZMMessage number, const std::u16string& argument);
// The name of the message language in use.
std::u16string ZipLanguageName();

// An error of the zip component: a message number and its text.
class EZipHandler : public std::runtime_error {
public:
    explicit EZipHandler(TZMMessage number);
    EZipHandler(TZMMessage number, const std::u16string& argument);

    int Number() const { return number_; }
    const std::u16string& Text() const { return text_; }

private:
    int number_;
    std::u16string text_;
};

} // namespace kolvarin
