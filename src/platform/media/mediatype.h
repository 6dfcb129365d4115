#pragma once

// A media type as the platform describes one: major type, subtype, sample
// properties, format type and the format block (bytes laid out as the
// platform's structures, see formatblocks.h). Value type: copies own their
// format bytes.

#include <cstdint>
#include <span>
#include <vector>

#include "media/com.h"
#include "media/guid.h"

namespace kolvarin::media {

struct AMMediaType {
    GUID majortype;
    GUID subtype;
    bool bFixedSizeSamples = false;
    bool bTemporalCompression = false;
    uint32_t lSampleSize = 0;
    GUID formattype;
    ComPtr<IUnknown> pUnk;
    std::vector<uint8_t> format;

    uint32_t cbFormat() const { return static_cast<uint32_t>(format.size()); }
    const uint8_t* pbFormat() const { return format.empty() ? nullptr : format.data(); }
    std::span<const uint8_t> formatBytes() const { return format; }
};

// Releases the interface reference and the format block and zeroes every field.
void FreeMediaType(AMMediaType& mt);

// Same major type, subtype and format type (GUID_NULL in `partial` matches
// anything), as pins compare a wanted type with an offered one.
bool MediaTypeMatchesPartial(const AMMediaType& offered, const AMMediaType& partial);

} // namespace kolvarin::media
