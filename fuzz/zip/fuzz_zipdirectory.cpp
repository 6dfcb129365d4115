// The zip component's directory reader on arbitrary bytes, then the zip
// library's checking pass over whatever it listed. Errors must come back as
// EZipHandler or a negative count, never as a crash.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "codepage/codepage.h"
#include "zip/ziphandler.h"
#include "zip/zmmessages.h"

namespace {

const std::string& ArchivePath()
{
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("kolvarin-fuzz-zip-" + std::to_string(::getpid()) + ".zip"))
            .string();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::FILE* f = std::fopen(ArchivePath().c_str(), "wb");
    if (f == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    kolvarin::TZipHandler zip;
    zip.Unattended = true;
    try {
        zip.SetZipFileName(kolvarin::codepage::Utf8ToUtf16(ArchivePath()));
        for (int i = 0; i < zip.Count(); ++i) {
            (void)zip.DirEntry(i).FileName.size();
        }
        zip.ExtrOptions = kolvarin::ExtrTest;
        zip.Extract();
    } catch (const kolvarin::EZipHandler&) {
    }
    return 0;
}
