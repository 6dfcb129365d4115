#pragma once

// Locale identifiers of languages, as the platform numbers them, and their
// English names: what stream selection reports for a stream's language.

#include <string>

#include "media/controlif.h"

namespace kolvarin::media {

// The identifier of an ISO 639-1 or 639-2 code ("en", "eng", "ger", "deu");
// 0 when unknown.
LCID LcidFromLanguageCode(const std::string& code);
// The English name of the language ("English"), empty for an unknown one.
std::u16string EnglishLanguageName(LCID lcid);

} // namespace kolvarin::media
