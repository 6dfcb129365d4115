#include "zipwriter.h"

#include <random>
#include <stdexcept>

#include <zlib.h>

namespace ktest {

namespace {

void Put16(std::string& out, std::uint32_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// The fields local and central headers share, from "version needed" on.
void PutCommon(std::string& out, const ZipMember& m, std::uint32_t crc, std::uint32_t csize, std::uint32_t usize)
{
    Put16(out, 20);
    Put16(out, m.Flags);
    Put16(out, m.Method);
    Put32(out, m.DateTime);
    Put32(out, crc);
    Put32(out, csize);
    Put32(out, usize);
}

} // namespace

std::string RandomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 rng(seed);
    std::string out(size, '\0');
    for (char& c : out) {
        c = static_cast<char>(rng());
    }
    return out;
}

std::string Deflate(const std::string& data)
{
    z_stream zs{};
    if (deflateInit2(&zs, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        throw std::runtime_error("deflateInit2");
    }
    std::string out(deflateBound(&zs, data.size()), '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    if (deflate(&zs, Z_FINISH) != Z_STREAM_END) {
        throw std::runtime_error("deflate");
    }
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

std::string WriteZip(const ZipArchive& archive)
{
    std::string body;
    std::string central;
    if (archive.SpanMarker) {
        Put32(body, 0x08074b50);
    }
    for (const ZipMember& m : archive.Members) {
        const std::string packed = m.Method == 8 ? Deflate(m.Data) : m.Data;
        const std::uint32_t crc =
            m.Crc.value_or(crc32(0, reinterpret_cast<const Bytef*>(m.Data.data()), static_cast<uInt>(m.Data.size())));
        const std::uint32_t csize = m.CompressedSize.value_or(static_cast<std::uint32_t>(packed.size()));
        const std::uint32_t usize = m.UncompressedSize.value_or(static_cast<std::uint32_t>(m.Data.size()));
        const auto offset = static_cast<std::uint32_t>(body.size());

        Put32(body, 0x04034b50);
        PutCommon(body, m, crc, csize, usize);
        Put16(body, static_cast<std::uint32_t>(m.Name.size()));
        Put16(body, 0);
        body += m.Name;
        body += packed;

        Put32(central, 0x02014b50);
        central += static_cast<char>(m.MadeByVersion);
        central += static_cast<char>(m.HostSystem);
        PutCommon(central, m, crc, csize, usize);
        Put16(central, static_cast<std::uint32_t>(m.Name.size()));
        Put16(central, static_cast<std::uint32_t>(m.Extra.size()));
        Put16(central, static_cast<std::uint32_t>(m.Comment.size()));
        Put16(central, archive.ThisDisk);
        Put16(central, 0);
        Put32(central, 0x81A40000);
        Put32(central, offset);
        central += m.Name + m.Extra + m.Comment;
    }
    std::string end;
    Put32(end, 0x06054b50);
    Put16(end, archive.ThisDisk);
    Put16(end, archive.CentralDisk);
    Put16(end, static_cast<std::uint32_t>(archive.Members.size()));
    Put16(end, static_cast<std::uint32_t>(archive.Members.size()));
    Put32(end, static_cast<std::uint32_t>(central.size()));
    Put32(end, static_cast<std::uint32_t>(body.size()));
    Put16(end, archive.CommentLength.value_or(static_cast<std::uint16_t>(archive.Comment.size())));
    return archive.Prefix + body + central + end + archive.Comment + archive.Trailing;
}

} // namespace ktest
