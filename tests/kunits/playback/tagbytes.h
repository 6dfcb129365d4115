#pragma once

// Builders of tag bytes for the tag tests: frames, tags and records laid out
// byte by byte, so each test shows the exact bytes it feeds the readers.

#include <cstdint>
#include <filesystem>
#include <string>

namespace tagbytes {

std::string BE32(uint32_t value);
std::string LE32(uint32_t value);
std::string Syncsafe(uint32_t value);
// UTF-16 bytes, little- or big-endian, with an optional byte-order mark.
std::string Utf16(std::u16string_view text, bool bigEndian, bool mark);

// A frame of the given version (2, 3, 4) with its ID, content and the two
// flag bytes (versions 3 and 4).
std::string Frame(int version, const std::string& id, const std::string& content, uint8_t flags0 = 0,
                  uint8_t flags1 = 0);
// A text frame with encoding 0 (Latin-1).
std::string TextFrame(int version, const std::string& id, const std::string& text);
// A whole tag: header, frames, padding.
std::string Tag(int version, const std::string& frames, size_t padding = 0, uint8_t flags = 0);

// Bytes that stand for MPEG audio: a frame sync, then a counting pattern.
std::string Audio(size_t size = 3000);

// A 128-byte ID3v1 record from its fields.
std::string ID3v1Record(const std::string& title, const std::string& artist, const std::string& comment,
                        uint8_t byte125, uint8_t byte126, uint8_t genre);

// An APE tag footer (and no header) around the given items.
std::string ApeItem(const std::string& key, const std::string& value);
std::string ApeTag(uint32_t version, const std::string& items, uint32_t count);

std::u16string Name(const std::filesystem::path& path);

} // namespace tagbytes
