#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kolvarin::ziplib {

// The zip library the zip component loads at run time: six calls, reached
// through a loader so that a test can refuse a version or fail the load.
// The library itself is built into the program (zlib's raw inflate and
// crc32); it lists nothing and writes no archives.

inline constexpr char kLibraryName[] = "DelZip179.dll";
inline constexpr int kLibraryVersion = 179;
inline constexpr int kPrivateVersion = 1790301;
// The command-block version the caller must pass.
inline constexpr int kCommandVersion = 179;

// What a callback record carries.
enum class CallbackKind {
    TotalStart, // Size: the number of members to process
    ItemStart, // FileName, Size: the member's uncompressed size
    ItemEnd, // FileName
    TotalEnd,
    Message, // Code, Text, FileName; only for a verbose command
    Warning, // Code, Text, FileName
    Error, // Code, Text, FileName
};

struct CallbackRecord {
    CallbackKind Kind = CallbackKind::Message;
    int Code = 0;
    std::u16string Text;
    std::u16string FileName;
    std::uint64_t Size = 0;
};

// Called on the thread that runs the command, during the command. A non-zero
// result asks the library to stop after the current member.
using Callback = int (*)(void* caller, const CallbackRecord& record);

// The library's own message codes (Code of a record); a failed command
// returns the negated code.
enum DZCode : int {
    DZ_OK = 0,
    DZ_ERR_OPEN = 1, // archive cannot be opened
    DZ_ERR_INVALID = 2, // no end record
    DZ_ERR_DIRECTORY = 3, // central directory damaged or in another part
    DZ_ERR_CRC = 4, // member data does not match its CRC
    DZ_ERR_DATA = 5, // member data damaged, truncated or of the wrong size
    DZ_ERR_METHOD = 6, // compression method other than stored or deflated
    DZ_ERR_WRITE = 7, // output file cannot be made
    DZ_WARN_ENCRYPTED = 8, // encrypted member skipped
    DZ_WARN_NAME = 9, // member name leaves no file name
    DZ_MSG_EXISTS = 10, // existing file kept
    DZ_ERR_NOT_SUPPORTED = 11, // archive writing
    DZ_ERR_COMMAND = 12, // command block of another version
};

// The unzip command block. The caller owns it; the library reads it during
// DZ_UnzExec only.
struct UnzCommand {
    void* Caller = nullptr; // handed back to Callback
    int Version = 0; // kCommandVersion
    Callback CallbackProc = nullptr;
    bool Verbose = false; // also report informational messages
    std::u16string BaseDir; // folder to extract into; empty: the current folder
    bool Test = false; // check the data, write nothing
    bool Update = false; // missing files and files older than the member
    bool Freshen = false; // only existing files older than the member
    bool DirNames = false; // keep the members' folders below BaseDir
    bool OverWrite = false; // replace existing files
    std::u16string ZipFileName;
    // Members to process, by name or wildcard pattern ('*', '?'), compared
    // without regard to ASCII letter case; empty: every member.
    std::vector<std::u16string> FSpecArgs;
};

// The zip command block: archive writing is not built; DZ_ZipExec refuses it.
struct ZipCommand {
    void* Caller = nullptr;
    int Version = 0;
    Callback CallbackProc = nullptr;
    std::u16string ZipFileName;
};

// The six calls of a loaded library. A call left empty is an export the
// library lacks.
struct EntryPoints {
    // Returns the number of members written (or tested), or a negated DZCode.
    std::function<int(const UnzCommand&)> DZ_UnzExec;
    std::function<int(const ZipCommand&)> DZ_ZipExec;
    std::function<int()> DZ_Version;
    std::function<int()> DZ_PrivVersion;
    // Asks a running command to stop at the next member; cleared when a
    // command starts.
    std::function<void()> DZ_Abort;
    std::function<std::u16string()> DZ_Path;
};

// Why a load failed, as the system would say it.
struct LoadFailure {
    int Code = 0;
    std::string Text;
};

// Loads the library file named by path (folder + kLibraryName). Returns the
// entry points, or nothing with the failure filled in.
using Loader = std::function<std::optional<EntryPoints>(const std::string& path, LoadFailure& failure)>;

// The loader of the library built into the program: any folder is accepted
// (the library is not a separate file), but only the name kLibraryName.
std::optional<EntryPoints> LoadBuiltinLibrary(const std::string& path, LoadFailure& failure);

} // namespace kolvarin::ziplib
