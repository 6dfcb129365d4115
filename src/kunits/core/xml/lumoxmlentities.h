#pragma once

#include <string_view>

namespace kolvarin {

// The 101 named character entities of the XML model: quot, amp, lt, gt,
// euro and the HTML 4 Latin-1 names for 160-255. Built once, read-only
// afterwards, so safe from any thread.

// The entity text ("&amp;") for a character, or an empty view.
std::string_view XmlEntityForChar(char16_t c);
// The character of an entity text given with "&" and ";". False when the
// entity is not known.
bool XmlCharForEntity(std::string_view entity, char16_t& c);

} // namespace kolvarin
