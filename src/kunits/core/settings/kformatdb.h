#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kolvarin {

// A codec name: a wave-format tag or FourCC number, the FourCC's four
// characters as a database file wrote them (empty otherwise), and the name.
struct TKFormatDBEntry {
    uint32_t Code = 0;
    std::string CharCode;
    std::string Description;
};

// A list of codec names in load order; duplicates are allowed and the first
// match wins. Owned by the main thread.
class TKFormatDatabase {
public:
    void Clear() { entries_.clear(); }
    void Add(TKFormatDBEntry entry) { entries_.push_back(std::move(entry)); }
    int GetCount() const { return static_cast<int>(entries_.size()); }
    // Index must lie in 0 .. GetCount() - 1.
    const TKFormatDBEntry& GetItem(int index) const { return entries_.at(static_cast<size_t>(index)); }

    // Appends the Format elements of KolvarinFormatDB/Formats. False when the
    // file cannot be read or does not parse; true otherwise, even when the
    // expected elements are missing and nothing was added.
    bool LoadFromFile(const std::string& fileName);

    // The first entry whose Code equals the code, or whose CharCode equals
    // the code's four characters upper-cased; nullptr when none does.
    const TKFormatDBEntry* Find(uint32_t code) const;

private:
    std::vector<TKFormatDBEntry> entries_;
};

// The four bytes of a FourCC, lowest first.
std::string FourCCToString(uint32_t code);
// The FourCC of the first four characters of a text, zeros after a shorter one.
uint32_t FourCCOf(std::string_view text);

// The process-wide databases; created at start-up.
extern TKFormatDatabase* AudioFormatDB;
extern TKFormatDatabase* VideoFormatDB;

} // namespace kolvarin
