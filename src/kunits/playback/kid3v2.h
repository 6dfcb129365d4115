#pragma once

#include <cstdint>
#include <string>

namespace kolvarin {

// The ID3v2 tag (versions 2.2, 2.3 and 2.4) at the start of an MPEG audio
// file. Created per use on the main thread, read or written by file name.
// No operation throws; a false result leaves the file as it was (a save or
// remove may already have cleared the read-only state).
class TID3v2 {
public:
    TID3v2() = default;

    // All fields empty, Exists false, VersionID 0, Size 0, Track 0.
    void ResetData();
    // True when the first 10 bytes of the file could be read; Exists tells
    // whether they start a tag. Compressed and encrypted frames are passed
    // over; the frames end at one that does not fit the tag.
    bool ReadFromFile(const std::u16string& fileName);
    // Writes the fields into the file's tag (a new one is version 2.3, an
    // existing one keeps its version) and keeps every other frame of the old
    // tag as it was. A tag that fits into the old one of at most 4096 bytes
    // is written in place; otherwise the file is rewritten with the new tag
    // (padded to 4096 bytes when it is smaller) through a temporary file.
    bool SaveToFile(const std::u16string& fileName);
    // Rewrites the file without its tag; false when it has none.
    bool RemoveFromFile(const std::u16string& fileName);

    bool Exists() const { return exists_; }
    uint8_t VersionID() const { return versionId_; }
    // Whole tag in bytes with header and footer; 0 when it overruns the file.
    int64_t Size() const { return size_; }
    const std::u16string& Title() const { return title_; }
    const std::u16string& Artist() const { return artist_; }
    const std::u16string& Album() const { return album_; }
    uint16_t Track() const { return track_; }
    const std::u16string& TrackString() const { return trackString_; }
    const std::u16string& Year() const { return year_; }
    const std::u16string& Genre() const { return genre_; }
    const std::u16string& Comment() const { return comment_; }
    const std::u16string& Composer() const { return composer_; }
    const std::u16string& Encoder() const { return encoder_; }
    const std::u16string& Copyright() const { return copyright_; }
    const std::u16string& Language() const { return language_; }
    const std::u16string& Link() const { return link_; }

    // Characters below 33 are trimmed from both ends before storing.
    void SetTitle(std::u16string_view text);
    void SetArtist(std::u16string_view text);
    void SetAlbum(std::u16string_view text);
    void SetYear(std::u16string_view text);
    void SetGenre(std::u16string_view text);
    void SetComment(std::u16string_view text);
    void SetComposer(std::u16string_view text);
    void SetEncoder(std::u16string_view text);
    void SetCopyright(std::u16string_view text);
    void SetLanguage(std::u16string_view text);
    void SetURL(std::u16string_view text);
    void SetTrack(uint16_t track) { track_ = track; }

private:
    // The frames of the edited fields in the given version.
    std::string RenderFrames(uint8_t version) const;

    bool exists_ = false;
    uint8_t versionId_ = 0;
    int64_t size_ = 0;
    std::u16string title_, artist_, album_;
    uint16_t track_ = 0;
    std::u16string trackString_;
    std::u16string year_, genre_, comment_, composer_, encoder_, copyright_, language_, link_;
};

} // namespace kolvarin
