#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "core/text/klanguage.h"

// Any bytes must leave every text usable: a text is the built-in one, a
// translation taking the same arguments, or the visible missing-tag text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kolvarin;
    static TKLanguage texts;
    SetDefaultLanguage(texts);
    try {
        LoadLanguageText(texts, std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const std::runtime_error&) {
        // An id too large for an integer: the start-up restores the defaults.
    }
    for (int i = 0; i < kLanguageTextCount; ++i) {
        const std::u16string& text = texts.Texts[static_cast<size_t>(i)];
        if (!SameFormatArguments(text, BuiltinLanguageText(i)) && !text.starts_with(u"[Language tag \""))
            __builtin_trap();
        (void)WideFormat(text, 1.5, u"text", 7, 8, 9);
    }
    return 0;
}
