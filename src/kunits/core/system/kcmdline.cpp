#include "core/system/kcmdline.h"

namespace kolvarin {

namespace {

bool IsSeparator(char16_t c) { return c < 33; }

} // namespace

std::vector<std::u16string> SplitCommandLine(const std::u16string& text)
{
    std::vector<std::u16string> words;
    std::u16string word;
    bool inWord = false;
    bool quoted = false;
    for (size_t i = 0; i < text.size();) {
        const char16_t c = text[i];
        if (c == u'\\') {
            size_t backslashes = 0;
            while (i < text.size() && text[i] == u'\\') {
                ++backslashes;
                ++i;
            }
            inWord = true;
            if (i < text.size() && text[i] == u'"') {
                word.append(backslashes / 2, u'\\');
                if (backslashes % 2) {
                    word += u'"';
                    ++i;
                }
            } else {
                word.append(backslashes, u'\\');
            }
            continue;
        }
        if (c == u'"') {
            quoted = !quoted;
            inWord = true;
        } else if (IsSeparator(c) && !quoted) {
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
        ++i;
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

std::u16string QuoteCommandLineWord(const std::u16string& word)
{
    bool needsQuotes = word.empty();
    for (char16_t c : word)
        needsQuotes = needsQuotes || IsSeparator(c) || c == u'"';
    if (!needsQuotes)
        return word;
    std::u16string out = u"\"";
    size_t backslashes = 0;
    for (char16_t c : word) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        out.append(c == u'"' ? backslashes * 2 + 1 : backslashes, u'\\');
        backslashes = 0;
        out += c;
    }
    // Backslashes before the closing quote are doubled too.
    out.append(backslashes * 2, u'\\');
    out += u'"';
    return out;
}

std::u16string JoinCommandLine(const std::vector<std::u16string>& words)
{
    std::u16string line;
    for (const auto& word : words) {
        if (!line.empty())
            line += u' ';
        line += QuoteCommandLineWord(word);
    }
    return line;
}

} // namespace kolvarin
