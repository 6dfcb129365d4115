#pragma once

// The text conversions every unit uses; they live with the code-page
// stand-in so the other stand-ins can share them, and the subsystems call
// them by their plain names.
#include "codepage/codepage.h"

namespace kolvarin {

using codepage::AnsiCharToWide;
using codepage::AnsiLowerCase;
using codepage::AnsiToUtf16;
using codepage::AppendUtf16;
using codepage::IsValidUtf8;
using codepage::LeBytesToUtf16;
using codepage::OemToUtf16;
using codepage::Utf16ToAnsi;
using codepage::Utf16ToLeBytes;
using codepage::Utf16ToUtf8;
using codepage::Utf8ToUtf16;
using codepage::WideLowerCase;
using codepage::WideLowerChar;

} // namespace kolvarin
