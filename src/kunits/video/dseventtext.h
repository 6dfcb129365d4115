#pragma once

// The readable text of a filter-graph event code for the trace log: the
// code's constant name, " - " and what it means.

#include <cstdint>
#include <string>

namespace kolvarin::video {

// "EC_COMPLETE - All data from a particular stream has been rendered.";
// a code the table does not know reads "Unknown event 0x..." with the code.
std::string DSEventText(int32_t code);

} // namespace kolvarin::video
