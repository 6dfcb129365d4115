#include "script/lumocache.h"

#include <algorithm>
#include <cstring>

#include "script/lumoap32.h"
#include "script/lumobytes.h"
#include "script/lumosupport.h"

namespace kolvarin::script {

namespace {

using Writer = ByteWriter<std::vector<uint8_t>>;

// A text is its byte count and its bytes.
void PutText(Writer& w, const std::string& s)
{
    w.U32(uint32_t(s.size()));
    w.Bytes(s);
}

bool GetText(ByteReader& r, std::string& s)
{
    uint32_t n;
    std::string_view b;
    if (!r.U32(n) || !r.View(n, b))
        return false;
    s.assign(b);
    return true;
}

void WriteBody(Writer& w, const TCacheContent& c)
{
    const TCodeImage& image = c.image;
    uint32_t codeLength = uint32_t(image.code.size() - image.zeroAreaSize);
    for (uint32_t v : {codeLength, image.zeroAreaSize, uint32_t(image.publicFunctions.size()),
                       uint32_t(image.publicVariables.size()), uint32_t(image.labels.size()),
                       uint32_t(image.fixups.size()), uint32_t(c.natives.size()), uint32_t(c.imports.size()),
                       uint32_t(c.outputBlocks.size()), 0xFFFFFFFFu, 0xFFFFFFFFu})
        w.U32(v);
    w.Bytes(image.code.data(), codeLength);
    for (const auto* table : {&image.publicFunctions, &image.publicVariables})
        for (const TPublicEntry& p : *table) {
            PutText(w, p.name);
            w.U32(p.address);
        }
    for (const TLabel& l : image.labels) {
        PutText(w, l.name);
        w.U32(uint32_t(l.offset));
    }
    for (const TFixup& f : image.fixups) {
        w.U8(uint8_t(f.kind));
        PutText(w, f.target);
        w.U32(f.position);
        w.U32(uint32_t(f.addend));
    }
    for (const TNativeEntry& n : c.natives) {
        PutText(w, n.name);
        PutText(w, n.linkName);
    }
    for (const TImportEntry& i : c.imports)
        for (const std::string* s : {&i.name, &i.linkName, &i.libraryName, &i.exportName})
            PutText(w, *s);
    for (const std::string& b : c.outputBlocks)
        PutText(w, b);
}

// Smallest size of one record of each table, to test counts before sizing.
constexpr uint64_t kPublicRecord = 8, kLabelRecord = 8, kFixupRecord = 13, kNativeRecord = 8, kImportRecord = 16,
                   kBlockRecord = 4;

TCacheError ReadBody(ByteReader& r, const std::vector<TNativeEntry>& registered, TCacheContent& c)
{
    uint32_t codeLength, zeroArea, functions, variables, labels, fixups, natives, imports, blocks, reserved;
    for (uint32_t* v : {&codeLength, &zeroArea, &functions, &variables, &labels, &fixups, &natives, &imports, &blocks,
                        &reserved, &reserved})
        if (!r.U32(*v))
            return TCacheError::Truncated;
    uint64_t records = kPublicRecord * (uint64_t(functions) + variables) + kLabelRecord * labels +
                       kFixupRecord * fixups + kNativeRecord * natives + kImportRecord * imports +
                       kBlockRecord * blocks;
    if (uint64_t(codeLength) + records > r.Remaining())
        return TCacheError::Truncated;
    if (uint64_t(codeLength) + zeroArea > kMaxCacheSize)
        return TCacheError::Truncated;
    if (natives != registered.size())
        return TCacheError::NativeCount;
    const uint64_t total = uint64_t(codeLength) + zeroArea;

    std::span<const uint8_t> code;
    r.View(codeLength, code);
    TCodeImage& image = c.image;
    image.code.assign(code.begin(), code.end());
    image.code.resize(total, 0);
    image.zeroAreaSize = zeroArea;

    // A function starts inside the code; a variable may end the image.
    auto readPublics = [&](std::vector<TPublicEntry>& table, uint32_t count, uint64_t end) {
        table.resize(count);
        for (TPublicEntry& p : table) {
            if (!GetText(r, p.name) || !r.U32(p.address))
                return TCacheError::Truncated;
            if (p.address >= end)
                return TCacheError::BadPosition;
        }
        return TCacheError::None;
    };
    if (auto e = readPublics(image.publicFunctions, functions, codeLength); e != TCacheError::None)
        return e;
    if (auto e = readPublics(image.publicVariables, variables, total + 1); e != TCacheError::None)
        return e;
    image.labels.resize(labels);
    for (TLabel& l : image.labels) {
        uint32_t offset;
        if (!GetText(r, l.name) || !r.U32(offset))
            return TCacheError::Truncated;
        l.offset = int32_t(offset);
        if (l.offset < 0 || uint64_t(l.offset) > total)
            return TCacheError::BadPosition;
    }
    image.fixups.resize(fixups);
    for (TFixup& f : image.fixups) {
        uint8_t kind;
        uint32_t addend;
        if (!r.U8(kind) || !GetText(r, f.target) || !r.U32(f.position) || !r.U32(addend))
            return TCacheError::Truncated;
        if (kind > uint8_t(FixupKind::Engine) || uint64_t(f.position) + 4 > codeLength)
            return TCacheError::BadPosition;
        f.kind = FixupKind(kind);
        f.addend = int32_t(addend);
    }
    c.natives = registered;
    for (uint32_t k = 0; k < natives; ++k) {
        std::string name, link;
        if (!GetText(r, name) || !GetText(r, link))
            return TCacheError::Truncated;
        auto it =
            std::find_if(c.natives.begin(), c.natives.end(), [&](const TNativeEntry& n) { return n.name == name; });
        if (it == c.natives.end())
            return TCacheError::UnknownNative;
        it->linkName = link;
    }
    c.imports.resize(imports);
    for (TImportEntry& i : c.imports)
        for (std::string* s : {&i.name, &i.linkName, &i.libraryName, &i.exportName})
            if (!GetText(r, *s))
                return TCacheError::Truncated;
    c.outputBlocks.resize(blocks);
    for (std::string& b : c.outputBlocks)
        if (!GetText(r, b))
            return TCacheError::Truncated;
    return r.Remaining() ? TCacheError::TrailingBytes : TCacheError::None;
}

} // namespace

uint32_t CacheKey(uint32_t sourceCrc, std::string_view source, bool alignment, bool breakpoint)
{
    if (alignment && !breakpoint)
        return sourceCrc;
    std::string keyed(source);
    keyed += std::string("\0options:", 9);
    keyed += alignment ? 'A' : 'a';
    keyed += breakpoint ? 'B' : 'b';
    return Crc32(keyed);
}

std::vector<uint8_t> WriteCacheFile(const TCacheContent& content, uint32_t key, bool pack)
{
    std::vector<uint8_t> bytes;
    Writer file(bytes);
    file.Bytes("LSCF");
    file.U32(kCacheVersion);
    file.U32(key);
    file.U8(pack ? 1 : 0);
    if (!pack) {
        WriteBody(file, content);
        return bytes;
    }
    std::vector<uint8_t> bodyBytes;
    Writer body(bodyBytes);
    WriteBody(body, content);
    std::vector<uint8_t> packed = ap32::Pack(bodyBytes);
    file.U32(uint32_t(packed.size()));
    file.Bytes(packed.data(), packed.size());
    return bytes;
}

TCacheError ReadCacheFile(std::span<const uint8_t> file, uint32_t key, const std::vector<TNativeEntry>& registered,
                          TCacheContent& out)
{
    ByteReader r(file);
    std::span<const uint8_t> magic;
    uint32_t version, storedKey;
    uint8_t packed;
    if (!r.View(4, magic) || std::memcmp(magic.data(), "LSCF", 4) != 0)
        return TCacheError::BadMagic;
    if (!r.U32(version) || version != kCacheVersion)
        return TCacheError::BadVersion;
    if (!r.U32(storedKey) || storedKey != key)
        return TCacheError::OtherSource;
    if (!r.U8(packed))
        return TCacheError::Truncated;
    if (packed > 1)
        return TCacheError::BadFlag;
    TCacheContent content;
    TCacheError error;
    if (packed == 1) {
        uint32_t packedLength;
        std::span<const uint8_t> block;
        if (!r.U32(packedLength) || !r.View(packedLength, block))
            return TCacheError::Truncated;
        std::vector<uint8_t> body;
        if (ap32::Unpack(block, body, kMaxCacheSize) != ap32::Ap32Error::None)
            return TCacheError::Unpack;
        ByteReader bodyReader(body);
        error = ReadBody(bodyReader, registered, content);
        if (error == TCacheError::None && r.Remaining())
            error = TCacheError::TrailingBytes;
    } else {
        error = ReadBody(r, registered, content);
    }
    if (error == TCacheError::None)
        out = std::move(content);
    return error;
}

} // namespace kolvarin::script
