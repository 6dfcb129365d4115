#include "ipc/pipemessage.h"

#include <algorithm>

namespace kolvarin::platform {

namespace {

void PutLe32(std::string& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint32_t GetLe32(const std::string& in, size_t at)
{
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
    return value;
}

std::string Header(uint8_t kind, size_t length)
{
    std::string out;
    PutLe32(out, static_cast<uint32_t>(length + TPipeMessage::kHeaderSize));
    out += static_cast<char>(kind);
    out.append(3, '\0');
    PutLe32(out, static_cast<uint32_t>(length));
    return out;
}

// The number of text bytes that may be used: what Length claims, cut at what
// arrived and at the text field. Needs at least the header.
size_t TrustedLength(const std::string& received)
{
    const uint64_t claimed = GetLe32(received, 8);
    const uint64_t present = std::min<uint64_t>(received.size(), TPipeMessage::kRecordSize) - TPipeMessage::kHeaderSize;
    return static_cast<size_t>(std::min({claimed, present, uint64_t{TPipeMessage::kTextSize}}));
}

} // namespace

std::string TPipeMessage::Encode() const
{
    std::string text = Text.substr(0, std::min(Text.find('\0'), kTextSize - 1));
    text += '\0';
    return Header(Kind, text.size()) + text;
}

std::optional<TPipeMessage> TPipeMessage::Decode(const std::string& received)
{
    if (received.size() < kHeaderSize)
        return std::nullopt;
    TPipeMessage message;
    message.Kind = static_cast<uint8_t>(received[4]);
    message.Bytes = received.substr(kHeaderSize, TrustedLength(received));
    message.Text = message.Bytes.substr(0, message.Bytes.find('\0'));
    return message;
}

std::string TPipeMessage::Reply(const std::string& received)
{
    if (received.size() < kHeaderSize)
        return {};
    std::string text = received.substr(kHeaderSize, TrustedLength(received));
    std::reverse(text.begin(), text.end());
    return Header(static_cast<uint8_t>(received[4]), text.size()) + text;
}

} // namespace kolvarin::platform
