// Any bytes a peer sends: decoding and the reply never read past what arrived
// and never hand on more than the text field holds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ipc/pipemessage.h"

using kolvarin::ipc::TPipeMessage;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string received(reinterpret_cast<const char*>(data), size);
    const auto message = TPipeMessage::Decode(received);
    const std::string reply = TPipeMessage::Reply(received);
    if (message && (message->Text.size() >= TPipeMessage::kTextSize || message->Bytes.size() > TPipeMessage::kTextSize))
        std::abort();
    if (reply.size() > TPipeMessage::kRecordSize)
        std::abort();
    return 0;
}
