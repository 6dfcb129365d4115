#pragma once

#include <stdexcept>
#include <string>

namespace kolvarin {

// The zip component's messages by number. Only the built-in English table
// exists (no language table is shipped); a number without a text reads
// "Resource missing for " + number. "\n" in a table text becomes CR LF.
std::u16string ZipMessageText(int number);
// The text with its first "%s" or "%d" replaced by the argument.
std::u16string ZipMessageText(int number, const std::u16string& argument);
// The name of the message language in use.
std::u16string ZipLanguageName();

// An error of the zip component: a message number and its text.
class EZipHandler : public std::runtime_error {
public:
    explicit EZipHandler(int number);
    EZipHandler(int number, const std::u16string& argument);

    int Number() const { return number_; }
    const std::u16string& Text() const { return text_; }

private:
    int number_;
    std::u16string text_;
};

} // namespace kolvarin
