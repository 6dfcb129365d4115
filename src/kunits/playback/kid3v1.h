#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kolvarin {

// The genre names of ID3v1 genre numbers 0..147, in the spellings the tag
// editor has always shown.
extern const std::array<const char*, 148> ID3v1Genres;

// The 128-byte ID3v1 / ID3v1.1 record at the end of an audio file. Created
// per use on the main thread, read or written by file name. Texts are
// Windows-1252 bytes. No operation throws: a failure is a false result and
// leaves the file as it was, except that a save or remove may already have
// cleared the file's read-only state.
class TID3v1 {
public:
    TID3v1() { ResetData(); }

    // Exists false, VersionID 1, texts empty, Track 0, GenreID 255.
    void ResetData();
    // True when the last 128 bytes could be read; Exists tells whether they
    // hold a tag. A file shorter than a tag has none.
    bool ReadFromFile(const std::u16string& fileName);
    // Replaces an existing tag by the fields, or appends one.
    bool SaveToFile(const std::u16string& fileName);
    // Cuts an existing tag off; true also when there was none.
    bool RemoveFromFile(const std::u16string& fileName);

    bool Exists() const { return exists_; }
    uint8_t VersionID() const { return versionId_; }
    const std::string& Title() const { return title_; }
    const std::string& Artist() const { return artist_; }
    const std::string& Album() const { return album_; }
    const std::string& Year() const { return year_; }
    const std::string& Comment() const { return comment_; }
    uint8_t Track() const { return track_; }
    uint8_t GenreID() const { return genreId_; }

    // Trailing characters of code 32 or less are dropped, then the text is
    // cut to the field's width (30 bytes, the year 4).
    void SetTitle(std::string_view text);
    void SetArtist(std::string_view text);
    void SetAlbum(std::string_view text);
    void SetYear(std::string_view text);
    void SetComment(std::string_view text);
    void SetTrack(uint8_t track) { track_ = track; }
    void SetGenreID(uint8_t genreId) { genreId_ = genreId; }

private:
    bool exists_ = false;
    uint8_t versionId_ = 1;
    std::string title_, artist_, album_, year_, comment_;
    uint8_t track_ = 0;
    uint8_t genreId_ = 255;
};

} // namespace kolvarin
