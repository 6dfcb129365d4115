#include "ipc/pipemessage.h"

#include <algorithm>
#include <string_view>

#include "base/bytereader.h"

namespace kolvarin::ipc {

namespace {

std::string Header(uint8_t kind, size_t length)
{
    std::string out;
    ByteWriter head(out);
    head.U32(static_cast<uint32_t>(length + TPipeMessage::kHeaderSize));
    head.U8(kind);
    head.Bytes("\0\0\0", 3);
    head.U32(static_cast<uint32_t>(length));
    return out;
}

struct Received {
    uint8_t Kind;
    std::string_view Text;
};

// The kind and the text bytes that may be used: what Length claims, cut at
// what arrived and at the text field. None without a whole header.
std::optional<Received> ReadHeader(const std::string& received)
{
    ByteReader in(received);
    uint32_t size, length;
    uint8_t kind;
    std::string_view text;
    if (!(in.U32(size) && in.U8(kind) && in.Skip(3) && in.U32(length)))
        return std::nullopt;
    in.View(std::min({size_t{length}, in.Remaining(), TPipeMessage::kTextSize}), text);
    return Received{kind, text};
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
    const std::optional<Received> head = ReadHeader(received);
    if (!head)
        return std::nullopt;
    TPipeMessage message;
    message.Kind = head->Kind;
    message.Bytes = std::string(head->Text);
    message.Text = message.Bytes.substr(0, message.Bytes.find('\0'));
    return message;
}

std::string TPipeMessage::Reply(const std::string& received)
{
    const std::optional<Received> head = ReadHeader(received);
    if (!head)
        return {};
    std::string text(head->Text.rbegin(), head->Text.rend());
    return Header(head->Kind, text.size()) + text;
}

} // namespace kolvarin::ipc
