#include "script/lumosupport.h"

#include <spawn.h>
#include <sys/wait.h>

#include <array>
#include <chrono>
#include <cstring>
#include <fstream>

#include "base/bytereader.h"

extern char** environ;

namespace kolvarin::script {

namespace {

// Table 0 is the classic byte table; tables 1 to 3 advance it by one more
// byte each, so four bytes go through in one step.
std::array<std::array<uint32_t, 256>, 4> MakeCrcTables()
{
    std::array<std::array<uint32_t, 256>, 4> t{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        t[0][n] = c;
    }
    for (uint32_t n = 0; n < 256; ++n)
        for (int k = 1; k < 4; ++k)
            t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
    return t;
}

struct RandomState {
    uint32_t seed = static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
    uint32_t multiplier = 134775813;
    uint32_t increment = 1;
};

RandomState& Random()
{
    static RandomState state;
    return state;
}

bool IsIdentChar(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

const char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

std::string Digits(uint32_t value, uint32_t base)
{
    std::string text;
    while (value) {
        text.insert(text.begin(), kDigits[value % base]);
        value /= base;
    }
    return text;
}

} // namespace

uint32_t Crc32(std::string_view bytes)
{
    static const auto t = MakeCrcTables();
    if (bytes.empty())
        return 0;
    uint32_t crc = 0xFFFFFFFFu;
    size_t i = 0;
    for (; i + 4 <= bytes.size(); i += 4) {
        crc ^= Le32(reinterpret_cast<const uint8_t*>(bytes.data() + i));
        crc = t[3][crc & 0xFF] ^ t[2][(crc >> 8) & 0xFF] ^ t[1][(crc >> 16) & 0xFF] ^ t[0][crc >> 24];
    }
    for (; i < bytes.size(); ++i)
        crc = (crc >> 8) ^ t[0][(crc ^ static_cast<unsigned char>(bytes[i])) & 0xFF];
    return ~crc;
}

uint32_t RandomInt()
{
    RandomState& r = Random();
    r.seed = r.seed * r.multiplier + r.increment;
    return r.seed * r.seed;
}

float RandomFloat()
{
    uint32_t bits = 0x40000000u | (RandomInt() & 0x7FFFFF); // 2 + m / 2^22
    float value;
    std::memcpy(&value, &bits, 4);
    value -= 3.0f;
    return value < 0 ? -value : value;
}

std::string IntToBase(int32_t value, int32_t base)
{
    if (value == 0 || base < 2 || base > 36)
        return {};
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    std::string text = value < 0 ? "-" : "";
    text += Digits(magnitude, static_cast<uint32_t>(base));
    return text;
}

std::string IntToHex(int32_t value) { return IntToBase(value, 16); }

std::string UIntToBase(uint32_t value, uint32_t base)
{
    if (value == 0 || base < 2 || base > 36)
        return {};
    return Digits(value, base);
}

std::string UIntToHex(uint32_t value) { return UIntToBase(value, 16); }

std::string IntToStr(int32_t value) { return std::to_string(value); }

std::string ExtractFileExt(std::string_view path)
{
    for (size_t i = path.size(); i-- > 0;) {
        char c = path[i];
        if (c == '.')
            return std::string(path.substr(i));
        if (c == '\\' || c == '/' || c == ':')
            break;
    }
    return {};
}

std::string ExtractFileName(std::string_view path)
{
    size_t cut = path.find_last_of("\\/:");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string ChangeFileExt(std::string_view path, std::string_view extension)
{
    std::string ext = ExtractFileExt(path);
    return std::string(path.substr(0, path.size() - ext.size())) + std::string(extension);
}

std::string Trim(std::string_view text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) < 33)
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) < 33)
        --end;
    return std::string(text.substr(begin, end - begin));
}

std::string UpperCase(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return out;
}

std::string LowerCase(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return out;
}

size_t FindWholeWord(std::string_view text, std::string_view word, size_t start)
{
    if (word.empty())
        return 0;
    size_t from = start < 1 ? 0 : start - 1;
    while (from <= text.size()) {
        size_t at = text.find(word, from);
        if (at == std::string_view::npos)
            return 0;
        bool before = at > 0 && IsIdentChar(text[at - 1]);
        bool after = at + word.size() < text.size() && IsIdentChar(text[at + word.size()]);
        if (!before && !after)
            return at + 1;
        from = at + 1;
    }
    return 0;
}

std::string ReplaceWholeWords(std::string_view text, std::string_view word, std::string_view replacement)
{
    std::string out(text);
    size_t pos = FindWholeWord(out, word, 1);
    while (pos) {
        out.replace(pos - 1, word.size(), replacement);
        pos = FindWholeWord(out, word, pos + replacement.size());
    }
    return out;
}

bool FileExists(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return file.is_open();
}

bool ExecAndWait(const std::string& fileName, const std::string& parameters)
{
    std::string command = fileName.empty() ? parameters : "\"" + fileName + "\" " + parameters;
    std::string shell = "/bin/sh", flag = "-c";
    char* argv[] = {shell.data(), flag.data(), command.data(), nullptr};
    pid_t pid;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv, environ) != 0)
        return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return true;
}

} // namespace kolvarin::script
