#pragma once

// Result codes of the framework's calls, with the platform's values.

#include <cstdint>
#include <string>

namespace kolvarin::media {

using HRESULT = int32_t;

constexpr bool Succeeded(HRESULT hr) { return hr >= 0; }
constexpr bool Failed(HRESULT hr) { return hr < 0; }
constexpr HRESULT MakeFailure(uint32_t code) { return static_cast<HRESULT>(code); }

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = MakeFailure(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = MakeFailure(0x80004002);
inline constexpr HRESULT E_POINTER = MakeFailure(0x80004003);
inline constexpr HRESULT E_ABORT = MakeFailure(0x80004004);
inline constexpr HRESULT E_FAIL = MakeFailure(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = MakeFailure(0x8000FFFF);
inline constexpr HRESULT E_OUTOFMEMORY = MakeFailure(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = MakeFailure(0x80070057);
inline constexpr HRESULT E_FILE_NOT_FOUND = MakeFailure(0x80070002); // from the system's "file not found"

inline constexpr HRESULT VFW_E_INVALIDMEDIATYPE = MakeFailure(0x80040200);
inline constexpr HRESULT VFW_E_INVALIDSUBTYPE = MakeFailure(0x80040201);
inline constexpr HRESULT VFW_E_ALREADY_CONNECTED = MakeFailure(0x80040204);
inline constexpr HRESULT VFW_E_NO_ACCEPTABLE_TYPES = MakeFailure(0x80040207);
inline constexpr HRESULT VFW_E_NOT_CONNECTED = MakeFailure(0x80040209);
inline constexpr HRESULT VFW_E_NOT_FOUND = MakeFailure(0x80040216);
inline constexpr HRESULT VFW_E_CANNOT_CONNECT = MakeFailure(0x80040217);
inline constexpr HRESULT VFW_E_CANNOT_RENDER = MakeFailure(0x80040218);
inline constexpr HRESULT VFW_E_NOT_STOPPED = MakeFailure(0x80040224);
inline constexpr HRESULT VFW_E_WRONG_STATE = MakeFailure(0x80040227);
inline constexpr HRESULT VFW_E_TYPE_NOT_ACCEPTED = MakeFailure(0x8004022A);
inline constexpr HRESULT VFW_E_UNKNOWN_FILE_TYPE = MakeFailure(0x80040240);
inline constexpr HRESULT VFW_E_INVALID_FILE_FORMAT = MakeFailure(0x80040241);
inline constexpr HRESULT VFW_E_NOT_IN_GRAPH = MakeFailure(0x8004025F);
inline constexpr HRESULT VFW_E_UNSUPPORTED_STREAM = MakeFailure(0x80040265);
inline constexpr HRESULT VFW_E_NO_TRANSPORT = MakeFailure(0x8004028A);
inline constexpr HRESULT VFW_S_NO_MORE_ITEMS = 0x00040103;
inline constexpr HRESULT VFW_S_STATE_INTERMEDIATE = 0x00040237;
inline constexpr HRESULT VFW_S_PARTIAL_RENDER = 0x00040242;

// The platform's message for a code (English), "Unknown error" for others.
std::string ErrorText(HRESULT hr);

} // namespace kolvarin::media
