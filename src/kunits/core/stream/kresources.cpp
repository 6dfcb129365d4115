#include "core/stream/kresources.h"

#include <map>

#include "base/threadsafety.h"

namespace kolvarin {

namespace {

// Guards the table; taken alone.
Mutex resourceLock;

std::map<int32_t, std::string>& resources() REQUIRES(resourceLock)
{
    static std::map<int32_t, std::string> table;
    return table;
}

} // namespace

void RegisterResource(int32_t id, std::string bytes)
{
    MutexLock guard(resourceLock);
    resources()[id] = std::move(bytes);
}

std::unique_ptr<TLumoStream> LoadResourceStream(int32_t id)
{
    MutexLock guard(resourceLock);
    const auto it = resources().find(id);
    if (it == resources().end())
        return nullptr;
    auto stream = std::make_unique<TLumoStream>();
    if (!stream->WriteText(it->second))
        return nullptr;
    stream->Seek(0);
    return stream;
}

bool ResourceRegistered(int32_t id)
{
    MutexLock guard(resourceLock);
    return resources().contains(id);
}

bool ReadResource(int32_t id, const std::function<void(std::string_view)>& read)
{
    MutexLock guard(resourceLock);
    const auto it = resources().find(id);
    if (it == resources().end())
        return false;
    read(it->second);
    return true;
}

} // namespace kolvarin
