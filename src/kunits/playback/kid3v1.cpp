#include "playback/kid3v1.h"

#include "playback/ktagfile_p.h"
#include "playback/ktagtext_p.h"

namespace kolvarin {

const std::array<const char*, 148> ID3v1Genres = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz", "Metal", "New Age",
    "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno", "Industrial", "Alternative", "Ska",
    "Death Metal", "Pranks", "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop", "Vocal", "Jazz+Funk", "Fusion",
    "Trance", "Classical", "Instrumental", "Acid", "House", "Game", "Sound Clip", "Gospel", "Noise", "AlternRock",
    "Bass", "Soul", "Punk", "Space", "Meditative", "Instrumental Pop", "Instrumental Rock", "Ethnic", "Gothic",
    "Darkwave", "Techno-Industrial", "Electronic", "Pop-Folk", "Eurodance", "Dream", "Southern Rock", "Comedy", "Cult",
    "Gangsta", "Top 40", "Christian Rap", "Pop/Funk", "Jungle", "Native American", "Cabaret", "New Wave", "Psychadelic",
    "Rave", "Showtunes", "Trailer", "Lo-Fi", "Tribal", "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical",
    "Rock & Roll", "Hard Rock",
    // Extensions 80..147.
    "Folk", "Folk-Rock", "National Folk", "Swing", "Fast Fusion", "Bebob", "Latin", "Revival", "Celtic", "Bluegrass",
    "Avantgarde", "Gothic Rock", "Progessive Rock", "Psychedelic Rock", "Symphonic Rock", "Slow Rock", "Big Band",
    "Chorus", "Easy Listening", "Acoustic", "Humour", "Speech", "Chanson", "Opera", "Chamber Music", "Sonata",
    "Symphony", "Booty Bass", "Primus", "Porn Groove", "Satire", "Slow Jam", "Club", "Tango", "Samba", "Folklore",
    "Ballad", "Power Ballad", "Rhythmic Soul", "Freestyle", "Duet", "Punk Rock", "Drum Solo", "A capella", "Euro-House",
    "Dance Hall", "Goa", "Drum & Bass", "Club-House", "Hardcore", "Terror", "Indie", "BritPop", "Afro-Punk",
    "Polsk Punk", "Beat", "Christian Gangsta Rap", "Heavy Metal", "Black Metal", "Crossover", "Contemporary Christian",
    "Christian Rock", "Merengue", "Salsa", "Trash Metal", "Anime", "JPop", "Synthpop"};

namespace {

constexpr size_t kTagSize = 128;

// The field at offset of width bytes, up to its first NUL, trailing blanks
// dropped (zero padding and space padding alike).
std::string Field(const std::string& record, size_t offset, size_t width)
{
    return tagtext::TrimRightAnsi(tagtext::UpToNul(std::string_view(record).substr(offset, width)));
}

std::string Fit(std::string_view text, size_t width) { return tagtext::TrimRightAnsi(text).substr(0, width); }

bool HasTag(const std::string& record) { return record.size() == kTagSize && record.compare(0, 3, "TAG") == 0; }

// The last 128 bytes, or an empty text when the file is shorter.
std::string ReadRecord(const tagfile::TagFile& file)
{
    if (!file.IsOpen() || file.Size() < static_cast<int64_t>(kTagSize))
        return {};
    return file.ReadAt(file.Size() - kTagSize, kTagSize);
}

} // namespace

void TID3v1::ResetData()
{
    exists_ = false;
    versionId_ = 1;
    title_.clear();
    artist_.clear();
    album_.clear();
    year_.clear();
    comment_.clear();
    track_ = 0;
    genreId_ = 255;
}

bool TID3v1::ReadFromFile(const std::u16string& fileName)
{
    ResetData();
    tagfile::TagFile file(fileName, false);
    std::string record = ReadRecord(file);
    if (record.size() != kTagSize)
        return false;
    if (!HasTag(record))
        return true;
    exists_ = true;
    auto byte = [&](size_t i) { return static_cast<unsigned char>(record[i]); };
    bool v11 = (byte(125) == 0 && byte(126) != 0) || (byte(125) == ' ' && byte(126) != ' ');
    versionId_ = v11 ? 2 : 1;
    title_ = Field(record, 3, 30);
    artist_ = Field(record, 33, 30);
    album_ = Field(record, 63, 30);
    year_ = Field(record, 93, 4);
    comment_ = Field(record, 97, v11 ? 28 : 30);
    if (v11)
        track_ = byte(126);
    genreId_ = byte(127);
    return true;
}

bool TID3v1::RemoveFromFile(const std::u16string& fileName)
{
    std::string record;
    {
        tagfile::TagFile file(fileName, false);
        if (!file.IsOpen())
            return false;
        record = ReadRecord(file);
    }
    if (!HasTag(record))
        return true;
    if (!tagfile::MakeWritable(fileName))
        return false;
    tagfile::TagFile file(fileName, true);
    return file.IsOpen() && file.Truncate(file.Size() - kTagSize);
}

bool TID3v1::SaveToFile(const std::u16string& fileName)
{
    std::string record(kTagSize, '\0');
    record.replace(0, 3, "TAG");
    auto put = [&](size_t offset, const std::string& text) { record.replace(offset, text.size(), text); };
    put(3, title_);
    put(33, artist_);
    put(63, album_);
    put(93, year_);
    put(97, comment_);
    if (track_ != 0) {
        record[125] = '\0';
        record[126] = static_cast<char>(track_);
    }
    record[127] = static_cast<char>(genreId_);
    if (!tagfile::MakeWritable(fileName))
        return false;
    // An existing record is overwritten where it stands, else one is appended.
    tagfile::TagFile file(fileName, true);
    if (!file.IsOpen())
        return false;
    int64_t offset = HasTag(ReadRecord(file)) ? file.Size() - static_cast<int64_t>(kTagSize) : file.Size();
    return file.WriteAt(offset, record);
}

void TID3v1::SetTitle(std::string_view text) { title_ = Fit(text, 30); }
void TID3v1::SetArtist(std::string_view text) { artist_ = Fit(text, 30); }
void TID3v1::SetAlbum(std::string_view text) { album_ = Fit(text, 30); }
void TID3v1::SetYear(std::string_view text) { year_ = Fit(text, 4); }
void TID3v1::SetComment(std::string_view text) { comment_ = Fit(text, 30); }

} // namespace kolvarin
