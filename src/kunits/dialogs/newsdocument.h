#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kolvarin {

// One news entry: its title and its lines, as markup texts (Windows-1252).
struct TNewsEntry {
    std::string Title;
    std::vector<std::string> Lines;
};

// A picture the lines show by name.
struct TNewsImage {
    std::string Source; // the picture's URL
    std::string Name;
};

struct TNewsDocument {
    std::string ID; // the news identifier
    std::vector<TNewsEntry> Entries;
    std::vector<TNewsImage> Images;
};

enum class TNewsStatus {
    Ok,
    NotXml, // the bytes do not parse
    NoNews, // no "kolvarin" root with an "onlinenews" child
};

struct TNewsReadResult {
    TNewsStatus Status = TNewsStatus::NotXml;
    std::size_t Offset = 0; // where parsing stopped, for NotXml
    TNewsDocument Document; // empty unless Ok
};

// Reads the news document: root "kolvarin", child "onlinenews" with the
// identifier in "id", whose "entries" hold "entry" elements (attribute
// "title", child "lines" with "line" elements whose one child is a CDATA
// section; other lines are skipped) and whose "images" hold "img" elements
// ("src", "name"). Texts become Windows-1252; CDATA bytes are taken as UTF-8
// when they are well-formed UTF-8, else as Windows-1252. Never throws.
TNewsReadResult ReadNewsDocument(std::string_view bytes);

} // namespace kolvarin
