#pragma once

#include <string>

namespace kolvarin {

// One editable text template of the media information ("%CAPTION%",
// "%TIME%", "%STREAMINFOS%" are filled in where it is shown). Main thread.
class TKTemplateLoader {
public:
    // False when the file cannot be read. Otherwise Text := its lines, each
    // followed by CR LF. A file with a UTF-16LE byte-order mark is UTF-16,
    // one with a UTF-8 mark UTF-8, any other Windows-1252.
    bool LoadFromFile(const std::string& fileName);
    // Writes Text as lines (UTF-16LE with its mark, CR LF) through a
    // temporary file renamed over the old one. Throws std::runtime_error.
    void SaveToFile(const std::string& fileName) const;

    std::u16string Text;
};

extern TKTemplateLoader* BalloonTemplate;
extern TKTemplateLoader* OSDTemplate;

// The texts used when a template file cannot be read.
extern const char16_t* const DefaultBalloonTemplate;
extern const char16_t* const DefaultOSDTemplate;

} // namespace kolvarin
