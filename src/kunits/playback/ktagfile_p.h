#pragma once

// File access of the tag readers and writers: files are named by UTF-16
// names, read and written at explicit offsets, and replaced whole through a
// temporary file so that a failed save leaves the old file as it was.

#include <cstdint>
#include <string>
#include <string_view>

namespace kolvarin::tagfile {

// An open regular file; closed on destruction. Nothing throws: a file that
// is missing, a folder or unreadable is simply not open.
class TagFile {
public:
    TagFile(const std::u16string& fileName, bool writable);
    ~TagFile();
    TagFile(const TagFile&) = delete;
    TagFile& operator=(const TagFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    // The size when the file was opened.
    int64_t Size() const { return size_; }
    // Up to count bytes at offset; fewer at the end of the file, none for
    // an offset outside it.
    std::string ReadAt(int64_t offset, size_t count) const;
    bool WriteAt(int64_t offset, std::string_view bytes) const;
    bool Truncate(int64_t size) const;

private:
    int fd_ = -1;
    int64_t size_ = 0;
};

// Clears the read-only state the way the tag editors expect: the owner may
// write afterwards. False when the file is missing, not a regular file or
// its mode cannot be changed.
bool MakeWritable(const std::u16string& fileName);

// Replaces the file by head followed by its own bytes from offset keepFrom
// to the end. The new content goes to a temporary file in the same folder,
// is flushed and takes the old file's mode (plus the owner's write right)
// before it is renamed over the old file. On failure the temporary file is
// removed, the old file is untouched and the result is false.
bool ReplaceFile(const std::u16string& fileName, std::string_view head, int64_t keepFrom);

// Writes bytes as the whole new content of the file the same way; an
// existing file keeps its mode, a new one gets 0666 less the umask.
bool WriteFileAtomically(const std::u16string& fileName, std::string_view bytes);

} // namespace kolvarin::tagfile
