#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/stream/lumostream.h"

namespace kolvarin {

// The program's data resources by number (the built-in skin description is
// 100). Whoever owns a resource registers its bytes at start-up; readers get
// their own copy. Thread safe.

// Stores (or replaces) the bytes of resource Id.
void RegisterResource(int32_t id, std::string bytes);
// A new memory stream holding a copy of resource Id, positioned at 0;
// nullptr when no such resource is registered.
std::unique_ptr<TLumoStream> LoadResourceStream(int32_t id);
// Whether resource Id is registered, without a copy.
bool ResourceRegistered(int32_t id);
// Runs Read on the bytes of resource Id in place, under the registry's lock
// (large resources are read without a copy); false, and Read not run, when
// no such resource is registered.
bool ReadResource(int32_t id, const std::function<void(std::string_view)>& read);

} // namespace kolvarin
