// Extracts one member whose data is the input, so the inflate path and the
// checks around it see every byte sequence. The first byte chooses stored or
// deflated data and whether the header's size and CRC are the real ones
// (so the success path is reached) or the next eight bytes as given.

#include <filesystem>
#include <vector>
#include <zlib.h>

#include "base/bytereader.h"
#include "fuzzfile.h"
#include "ziplib/dzunzip.h"

namespace {

constexpr uLong kInflateLimit = 1 << 20;

// The size and CRC-32 of the member's content when it inflates within the
// limit; nothing else would be written.
bool RealSizeAndCrc(const uint8_t* data, size_t size, bool deflated, uint32_t& length, uint32_t& crc)
{
    if (!deflated) {
        length = static_cast<uint32_t>(size);
        crc = static_cast<uint32_t>(crc32(0, data, static_cast<uInt>(size)));
        return true;
    }
    std::vector<Bytef> out(kInflateLimit);
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
        return false;
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(size);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&z, Z_FINISH);
    length = static_cast<uint32_t>(z.total_out);
    inflateEnd(&z);
    crc = static_cast<uint32_t>(crc32(0, out.data(), length));
    return result == Z_STREAM_END;
}

std::string Archive(const uint8_t* data, size_t size, bool deflated, uint32_t length, uint32_t crc)
{
    const std::string name = "member.bin";
    std::string bytes;
    kolvarin::ByteWriter out(bytes);
    auto fields = [&](uint32_t signature) {
        out.U32(signature);
        if (signature == 0x02014b50)
            out.U16(20); // made by
        out.U16(20); // version needed
        out.U16(0); // flags
        out.U16(deflated ? 8 : 0);
        out.U16(0); // time
        out.U16(0x21); // 1 January 1980
        out.U32(crc);
        out.U32(static_cast<uint32_t>(size));
        out.U32(length);
        out.U16(static_cast<uint16_t>(name.size()));
        out.U16(0); // extra field
    };
    fields(0x04034b50);
    out.Bytes(name);
    out.Bytes(data, size);
    const auto central = static_cast<uint32_t>(bytes.size());
    fields(0x02014b50);
    for (int i = 0; i < 4; ++i)
        out.U16(0); // comment, disk, internal attributes, external (low)
    out.U16(0); // external attributes (high)
    out.U32(0); // local header offset
    out.Bytes(name);
    const auto end = static_cast<uint32_t>(bytes.size());
    out.U32(0x06054b50);
    out.U16(0);
    out.U16(0);
    out.U16(1);
    out.U16(1);
    out.U32(end - central);
    out.U32(central);
    out.U16(0);
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    kolvarin::ByteReader in(data, size);
    uint8_t choice;
    uint32_t length = 0, crc = 0;
    if (!in.U8(choice))
        return 0;
    const bool deflated = choice & 1;
    const bool real = choice & 2;
    if (!real && !(in.U32(length) && in.U32(crc)))
        return 0;
    const uint8_t* member = data + in.Position();
    const size_t memberSize = in.Remaining();
    if (real && !RealSizeAndCrc(member, memberSize, deflated, length, crc))
        return 0;

    const std::string archive = Archive(member, memberSize, deflated, length, crc);
    const std::string path =
        fuzzfile::WriteFile(".zip", reinterpret_cast<const uint8_t*>(archive.data()), archive.size());
    static const fuzzfile::TempPath folder{path + ".out"};
    std::filesystem::create_directories(folder.path);
    kolvarin::ziplib::UnzCommand command;
    command.Version = kolvarin::ziplib::kCommandVersion;
    command.ZipFileName = std::u16string(path.begin(), path.end());
    command.BaseDir = std::u16string(folder.path.begin(), folder.path.end()) + u"/";
    command.OverWrite = true;
    const std::atomic<bool> abort{false};
    kolvarin::ziplib::RunUnzip(command, abort);
    std::error_code ec;
    std::filesystem::remove(folder.path + "/member.bin", ec);
    return 0;
}
