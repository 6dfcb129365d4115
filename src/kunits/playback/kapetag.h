#pragma once

#include <cstdint>
#include <string>

namespace kolvarin {

// The APE tag (versions 1 and 2) at the end of a file, before an ID3v1
// record when there is one. Read-only; created per use on the main thread.
// Texts are decoded into UTF-16: UTF-8 for version 2, Windows-1252 for
// version 1.
class TAPEtag {
public:
    TAPEtag() = default;

    // Exists false, Version 0, Size 0, texts empty, Track 0.
    void ResetData();
    // True when the 32 footer bytes could be read; Exists tells whether they
    // are a tag that fits into the file. Items that overrun the tag are not
    // read. Never throws.
    bool ReadFromFile(const std::u16string& fileName);

    bool Exists() const { return exists_; }
    int32_t Version() const { return version_; }
    // Items and footer, without a header.
    int64_t Size() const { return size_; }
    const std::u16string& Title() const { return title_; }
    const std::u16string& Artist() const { return artist_; }
    const std::u16string& Album() const { return album_; }
    // The number before the first "/" of the Track item; 0 when not a number.
    int32_t Track() const { return track_; }
    const std::u16string& Year() const { return year_; }
    const std::u16string& Genre() const { return genre_; }
    const std::u16string& Comment() const { return comment_; }
    const std::u16string& Copyright() const { return copyright_; }

private:
    bool exists_ = false;
    int32_t version_ = 0;
    int64_t size_ = 0;
    std::u16string title_, artist_, album_;
    int32_t track_ = 0;
    std::u16string year_, genre_, comment_, copyright_;
};

} // namespace kolvarin
