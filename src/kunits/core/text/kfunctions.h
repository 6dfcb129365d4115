#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kolvarin {

// Text, number and time helpers shared by every subsystem. Positions are
// 1-based as in the rest of the design (0 means "not found"). All are pure
// functions, safe from any thread.

// True when every character is a decimal digit (so also for an empty text).
bool IsNumber(std::string_view text);
bool IsNumber(std::u16string_view text);
// 0-9, A-F, a-f, with "$" allowed only as the first character; false for an
// empty text.
bool IsHexNumber(std::string_view text);

// The characters from position From to To (1-based, inclusive; clamped).
std::string CopyChars(std::string_view text, int64_t from, int64_t to);
std::u16string CopyWideChars(std::u16string_view text, int64_t from, int64_t to);

// Case-insensitive position of Sub in Text (Windows-1252 lower-casing).
int64_t PosText(std::string_view sub, std::string_view text);
int64_t PosText(std::u16string_view sub, std::u16string_view text);
// Position of the last occurrence, exact compare.
int64_t LastPos(std::string_view sub, std::string_view text);
int64_t LastPos(std::u16string_view sub, std::u16string_view text);

std::string ReplaceChar(std::string_view text, char oldChar, char newChar);
std::u16string ReplaceChar(std::u16string_view text, char16_t oldChar, char16_t newChar);
// Each of " * / : < > ? \ | becomes "_" (tested on the low byte of each
// character, as recording file names always were).
std::u16string ReplaceInvalidFileNameChars(std::u16string_view text);

// Cuts Text at every occurrence of Separator and adds the pieces (empty
// pieces too; an empty text adds nothing). The list is cleared first unless
// Append. False when List is null or the separator is empty.
bool SplitString(std::string_view text, std::string_view separator, std::vector<std::string>* list, bool append);
// Clears List and fills it with the parts of Text split at Delimiter.
void SplitDelimited(char delimiter, std::string_view text, std::vector<std::string>& list);

// Removes characters below 33 from both ends.
std::u16string TrimWide(std::u16string_view text);
// True when both are non-empty and Text begins with Prefix.
bool WideStartsWith(std::u16string_view text, std::u16string_view prefix, bool ignoreCase);
// "http://", "https://" or "mms://" at the start, ignoring case.
bool IsURL(std::u16string_view text);

std::string BoolToStr(bool value);
// True for "true" or "1" in any letter case.
bool StrToBool(std::string_view text);
bool StrToBool(std::u16string_view text);

// (Value - Min) * 100 div (Max - Min); 0 when Max equals Min.
int32_t ValueToPercent(int64_t value, int64_t min, int64_t max);

struct TRGBBytes {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
};
// The three bytes of a 24-bit colour, red in the lowest byte.
TRGBBytes ColorToRGBBytes(uint32_t color);

// Right - Left and Bottom - Top of any rectangle record.
template <class Rect>
auto RectWidth(const Rect& r)
{
    return r.Right - r.Left;
}
template <class Rect>
auto RectHeight(const Rect& r)
{
    return r.Bottom - r.Top;
}

// " - Revision " + the trimmed text between "[$Rev: " and " $]"; empty
// when the text holds no such mark.
std::u16string GetRevisionText(std::u16string_view text);

struct TKTimeParts {
    int64_t Days = 0;
    int32_t Hours = 0; // 0-23
    int32_t Minutes = 0; // 0-59
    int32_t Seconds = 0; // 0-59
};
// Negative times count as 0.
TKTimeParts MillisecondsToTime(int64_t milliseconds);
int64_t TimeToMilliseconds(uint8_t hours, uint8_t minutes, uint8_t seconds);

} // namespace kolvarin
