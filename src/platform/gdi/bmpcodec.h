#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "gdi/bitmap.h"

namespace kolvarin::gdi {

enum class BmpStatus {
    Ok,
    CannotOpen, // the file could not be read
    NotBmp, // no "BM" signature
    Truncated, // a header, the palette or the pixel data runs past the end
    BadHeader, // a header field holds an impossible value
    Unsupported, // a valid file of a kind we do not read (16 bits, JPEG inside...)
    TooLarge, // larger than a Bitmap may be
    WriteFailed, // the file could not be written
};

// Outcome of reading or writing a BMP file; offset is the byte position in the
// file of the field or data that failed (0 when none applies).
struct BmpResult {
    BmpStatus status = BmpStatus::Ok;
    std::uint64_t offset = 0;
    std::string message;

    explicit operator bool() const { return status == BmpStatus::Ok; }
};

// Reads a Windows bitmap file: 1, 4, 8, 24 and 32 bits per pixel,
// uncompressed or (8 and 4 bits) run-length encoded, bottom-up or top-down,
// with the core, info, V4 and V5 headers. 24-bit files give a Bits24 bitmap,
// 32-bit files a Bits32 one, palette files are expanded to Bits24. Pixels that
// the run-length data skips are black. On failure `out` is left unchanged.
BmpResult ReadBmp(std::span<const std::uint8_t> file, Bitmap& out);
BmpResult LoadBmpFile(const std::string& path, Bitmap& out);

// Writes the bitmap as an uncompressed bottom-up 24-bit file.
std::vector<std::uint8_t> EncodeBmp24(const Bitmap& bitmap);
BmpResult SaveBmpFile(const std::string& path, const Bitmap& bitmap);

} // namespace kolvarin::gdi
