#pragma once

#include <optional>
#include <string>
#include <string_view>

// Text helpers of the markup engine: entities, tag attributes, numbers.
namespace kolvarin::markup {

// The front end's rewriting: the nine entities ("&amp;" becomes "&&", which
// draws one "&"), the first "<#...>" loses its angle brackets, line feeds go
// and carriage returns become "<BR>".
std::string PrepareMarkup(std::string_view text);

// "&nbsp;", "&lt;" and "&gt;" of a text run.
std::string RunText(std::string_view run);

// ASCII letters upper-cased.
std::string UpperCase(std::string_view text);

// The value of the attribute called name (upper case) in a tag: the first
// occurrence of name in upperTag, then "=" and a value in double quotes (or
// up to a blank or ">"). The value is cut from tag, so it keeps its letter
// case. nullopt when the name does not occur; empty without "=".
std::optional<std::string_view> TagAttribute(std::string_view tag, std::string_view upperTag, std::string_view name);

// The text between the first two double quotes of a tag; empty when none.
std::string_view FirstQuoted(std::string_view tag);

// The value of the leading digits (after an optional sign), 0 without any;
// saturates at +/-32767, the largest coordinate the engine works with.
int LeadingNumber(std::string_view text);

// The number when the whole text is one (optional sign and digits).
std::optional<int> WholeNumber(std::string_view text);

} // namespace kolvarin::markup
