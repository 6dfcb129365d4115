#include "ziplib/dzlib.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>

#include "codepage/codepage.h"
#include "ziplib/dzunzip.h"

namespace kolvarin::ziplib {

std::optional<EntryPoints> LoadBuiltinLibrary(const std::string& path, LoadFailure& failure)
{
    const std::size_t slash = path.find_last_of('/');
    const std::string fileName = slash == std::string::npos ? path : path.substr(slash + 1);
    if (fileName != kLibraryName) {
        failure.Code = ENOENT;
        failure.Text = std::strerror(ENOENT);
        return std::nullopt;
    }
    // One abort flag per loaded instance, shared by its calls.
    auto abort = std::make_shared<std::atomic<bool>>(false);
    EntryPoints entries;
    entries.DZ_UnzExec = [abort](const UnzCommand& command) {
        abort->store(false);
        if (command.Version != kCommandVersion) {
            return -DZ_ERR_COMMAND;
        }
        return RunUnzip(command, *abort);
    };
    entries.DZ_ZipExec = [](const ZipCommand&) { return -DZ_ERR_NOT_SUPPORTED; };
    entries.DZ_Version = [] { return kLibraryVersion; };
    entries.DZ_PrivVersion = [] { return kPrivateVersion; };
    entries.DZ_Abort = [abort] { abort->store(true); };
    entries.DZ_Path = [text = codepage::Utf8ToUtf16(path)] { return text; };
    return entries;
}

} // namespace kolvarin::ziplib
