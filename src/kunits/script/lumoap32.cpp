#include "script/lumoap32.h"

#include <algorithm>
#include <cstring>

#include "script/lumobytes.h"

namespace kolvarin::script::ap32 {

namespace {

// Bit and byte writer: tag bytes are reserved in the byte stream where the
// next bit is first needed.
class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
    void ReserveTag()
    {
        tagPos_ = out_.size();
        out_.push_back(0);
        used_ = 0;
    }
    void Bit(unsigned b)
    {
        if (used_ == 8)
            ReserveTag();
        out_[tagPos_] |= uint8_t(b << (7 - used_));
        ++used_;
    }
    void Byte(uint8_t b) { out_.push_back(b); }
    void Gamma(uint32_t v)
    {
        int top = 31;
        while (!(v >> top))
            --top;
        for (int k = top - 1; k >= 0; --k) {
            Bit((v >> k) & 1);
            Bit(k > 0);
        }
    }

private:
    std::vector<uint8_t>& out_;
    size_t tagPos_ = 0;
    int used_ = 8;
};

int GammaBits(uint32_t v)
{
    int bits = 2;
    for (uint32_t rest = v >> 2; rest; rest >>= 1)
        bits += 2;
    return bits;
}

struct Choice {
    enum Code { Literal, Single, Repeat, Short, Normal } code = Literal;
    uint32_t offset = 0;
    uint32_t length = 1;
    int64_t gain = 0;
};

uint32_t StoredLength(uint32_t offset, uint32_t length)
{
    if (offset < 128)
        return length - 2;
    return length - (offset >= 1280) - (offset >= 32000);
}

bool NormalAllowed(uint32_t offset, uint32_t length)
{
    return length >= 4 || (length >= 2 && offset >= 128 && offset < 1280) ||
           (length >= 3 && offset >= 1280 && offset < 32000);
}

// Keeps the candidate's best coding when it gains strictly more than BEST.
void Consider(Choice& best, uint32_t offset, uint32_t length, uint32_t prevOffset, bool lastWasMatch)
{
    auto take = [&](Choice::Code code, int cost) {
        int64_t gain = int64_t(8) * length - cost;
        if (gain > best.gain)
            best = {code, offset, length, gain};
    };
    if (length == 1 && offset <= 15)
        take(Choice::Single, 7);
    if (offset == prevOffset && length >= 2 && !lastWasMatch)
        take(Choice::Repeat, 2 + GammaBits(2) + GammaBits(length));
    if ((length == 2 || length == 3) && offset < 128)
        take(Choice::Short, 11);
    if (NormalAllowed(offset, length))
        take(Choice::Normal,
             10 + GammaBits((offset >> 8) + (lastWasMatch ? 2 : 3)) + GammaBits(StoredLength(offset, length)));
}

} // namespace

std::vector<uint8_t> Pack(std::span<const uint8_t> in)
{
    std::vector<uint8_t> out;
    const size_t n = in.size();
    if (n == 0)
        return out;
    out.reserve(n + n / 8 + 16);
    ByteWriter(out).U32(uint32_t(n));
    out.push_back(in[0]);
    BitWriter w(out);
    w.ReserveTag();

    // Chains of earlier positions by their two bytes, newest first; -1 ends a chain.
    std::vector<int32_t> head(65536, -1);
    std::vector<int32_t> older(n, -1);
    size_t nextEntry = 0;
    uint32_t prevOffset = 0;
    bool lastWasMatch = false;

    size_t cur = 1;
    while (cur < n) {
        Choice best;
        if (in[cur] == 0)
            best = {Choice::Single, 0, 1, 1};
        auto matchLength = [&](size_t from) {
            size_t l = 0;
            while (cur + l < n && in[from + l] == in[cur + l])
                ++l;
            return uint32_t(l);
        };
        if (cur + 1 < n) {
            for (int32_t p = head[Le16(&in[cur])]; p >= 0; p = older[p])
                Consider(best, uint32_t(cur - p), matchLength(p), prevOffset, lastWasMatch);
        }
        if (uint32_t run = matchLength(cur - 1))
            Consider(best, 1, run, prevOffset, lastWasMatch);
        for (uint32_t d = 1; d <= 15 && d <= cur; ++d)
            if (in[cur - d] == in[cur])
                Consider(best, d, 1, prevOffset, lastWasMatch);

        switch (best.code) {
        case Choice::Literal:
            w.Bit(0);
            w.Byte(in[cur]);
            break;
        case Choice::Single:
            for (unsigned b : {1u, 1u, 1u})
                w.Bit(b);
            for (int k = 3; k >= 0; --k)
                w.Bit((best.offset >> k) & 1);
            break;
        case Choice::Short:
            for (unsigned b : {1u, 1u, 0u})
                w.Bit(b);
            w.Byte(uint8_t(best.offset << 1 | (best.length - 2)));
            break;
        case Choice::Repeat:
            w.Bit(1);
            w.Bit(0);
            w.Gamma(2);
            w.Gamma(best.length);
            break;
        case Choice::Normal:
            w.Bit(1);
            w.Bit(0);
            w.Gamma((best.offset >> 8) + (lastWasMatch ? 2 : 3));
            w.Byte(uint8_t(best.offset));
            w.Gamma(StoredLength(best.offset, best.length));
            break;
        }
        bool isMatch = best.code >= Choice::Repeat;
        if (isMatch)
            prevOffset = best.offset;
        lastWasMatch = isMatch;
        cur += best.length;
        for (; nextEntry + 2 <= cur && nextEntry + 1 < n; ++nextEntry) {
            const uint16_t h = Le16(&in[nextEntry]);
            older[nextEntry] = head[h];
            head[h] = int32_t(nextEntry);
        }
    }
    // End code without its data byte: the unpacker stops by length.
    for (unsigned b : {1u, 1u, 0u})
        w.Bit(b);
    return out;
}

namespace {

class BitReader {
public:
    BitReader(const uint8_t* p, size_t size) : p_(p), size_(size) {}
    bool Byte(uint8_t& b)
    {
        if (pos_ >= size_)
            return false;
        b = p_[pos_++];
        return true;
    }
    bool Bit(unsigned& b)
    {
        if (left_ == 0) {
            if (!Byte(tag_))
                return false;
            left_ = 8;
        }
        --left_;
        b = (tag_ >> left_) & 1;
        return true;
    }
    // Returns None, Truncated or BadGamma.
    Ap32Error Gamma(uint32_t& v)
    {
        uint64_t value = 1;
        unsigned bit, more;
        do {
            if (!Bit(bit) || !Bit(more))
                return Ap32Error::Truncated;
            value = value << 1 | bit;
            if (value > 0xFFFFFFFFu)
                return Ap32Error::BadGamma;
        } while (more);
        v = uint32_t(value);
        return Ap32Error::None;
    }

private:
    const uint8_t* p_;
    size_t size_;
    size_t pos_ = 0;
    uint8_t tag_ = 0;
    int left_ = 0;
};

} // namespace

Ap32Error Unpack(std::span<const uint8_t> block, std::vector<uint8_t>& out, uint64_t limit)
{
    out.clear();
    if (block.empty())
        return Ap32Error::None;
    if (block.size() < 4)
        return Ap32Error::Truncated;
    uint64_t expected;
    size_t start;
    if (std::memcmp(block.data(), "AP32", 4) == 0) {
        if (block.size() < 8)
            return Ap32Error::ShortHeader;
        uint32_t headerSize = Le32(block.data() + 4);
        if (headerSize < 24 || headerSize > block.size())
            return Ap32Error::ShortHeader;
        expected = Le32(block.data() + 16);
        start = headerSize;
    } else {
        expected = Le32(block.data());
        start = 4;
    }
    if (expected > limit)
        return Ap32Error::TooLarge;
    if (expected == 0)
        return Ap32Error::None;
    // Written in place; OUT grows with what is decoded (so a short block cannot
    // claim the whole limit) and is cut to that on every return.
    out.resize(std::min<uint64_t>(expected, 64 * uint64_t(block.size()) + 4096));
    uint8_t* dst = out.data();
    size_t size = 0;
    auto room = [&](uint64_t count) {
        if (size + count <= out.size())
            return;
        out.resize(std::min<uint64_t>(expected, std::max<uint64_t>(2 * out.size(), size + count)));
        dst = out.data();
    };
    auto finish = [&](Ap32Error e) {
        out.resize(size);
        return e;
    };

    BitReader r(block.data() + start, block.size() - start);
    auto copyMatch = [&](uint64_t offset, uint64_t length) {
        if (offset == 0 || offset > size)
            return Ap32Error::BadOffset;
        if (length > expected - size)
            return Ap32Error::Overrun;
        room(length);
        const uint8_t* from = dst + size - offset;
        uint8_t* to = dst + size;
        if (offset >= length) {
            std::memcpy(to, from, length);
        } else {
            for (uint64_t k = 0; k < length; ++k)
                to[k] = from[k]; // overlaps its own output
        }
        size += length;
        return Ap32Error::None;
    };

    uint8_t b;
    if (!r.Byte(b))
        return finish(Ap32Error::Truncated);
    dst[size++] = b;
    bool lastWasMatch = false;
    uint32_t prevOffset = 0;
    while (size < expected) {
        unsigned bit;
        if (!r.Bit(bit))
            return finish(Ap32Error::Truncated);
        if (!bit) {
            if (!r.Byte(b))
                return finish(Ap32Error::Truncated);
            room(1);
            dst[size++] = b;
            lastWasMatch = false;
            continue;
        }
        if (!r.Bit(bit))
            return finish(Ap32Error::Truncated);
        if (bit) {
            if (!r.Bit(bit))
                return finish(Ap32Error::Truncated);
            if (bit) {
                uint32_t d = 0;
                for (int k = 0; k < 4; ++k) {
                    if (!r.Bit(bit))
                        return finish(Ap32Error::Truncated);
                    d = d << 1 | bit;
                }
                if (d > size)
                    return finish(Ap32Error::BadOffset);
                room(1);
                dst[size] = d ? dst[size - d] : 0;
                ++size;
                lastWasMatch = false;
                continue;
            }
            if (!r.Byte(b))
                return finish(Ap32Error::Truncated);
            if (b == 0)
                return finish(Ap32Error::EarlyEnd);
            prevOffset = b >> 1;
            if (auto e = copyMatch(prevOffset, 2 + (b & 1u)); e != Ap32Error::None)
                return finish(e);
            lastWasMatch = true;
            continue;
        }
        uint32_t g, n;
        if (auto e = r.Gamma(g); e != Ap32Error::None)
            return finish(e);
        if (!lastWasMatch && g == 2) {
            if (auto e = r.Gamma(n); e != Ap32Error::None)
                return finish(e);
            if (auto e2 = copyMatch(prevOffset, n); e2 != Ap32Error::None)
                return finish(e2);
        } else {
            uint64_t offset = uint64_t(g - (lastWasMatch ? 2 : 3)) << 8;
            if (!r.Byte(b))
                return finish(Ap32Error::Truncated);
            offset += b;
            if (auto e = r.Gamma(n); e != Ap32Error::None)
                return finish(e);
            uint64_t length = n;
            if (offset < 128)
                length += 2;
            if (offset >= 1280)
                ++length;
            if (offset >= 32000)
                ++length;
            if (offset > size)
                return finish(Ap32Error::BadOffset);
            prevOffset = uint32_t(offset);
            if (auto e2 = copyMatch(offset, length); e2 != Ap32Error::None)
                return finish(e2);
        }
        lastWasMatch = true;
    }
    return Ap32Error::None;
}

} // namespace kolvarin::script::ap32
