#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "zip/zmdirentry.h"
#include "zip/zmdynamicbind.h"
#include "ziplib/dzformat.h"

namespace kolvarin {

// Extract options; a set of these flags.
enum TZMExtrOption : unsigned {
    ExtrDirNames = 1u << 0,
    ExtrOverWrite = 1u << 1,
    ExtrFreshen = 1u << 2,
    ExtrUpdate = 1u << 3,
    ExtrTest = 1u << 4,
    ExtrForceDirs = 1u << 5,
};

// The zip archive component: reads an archive's directory itself and
// extracts members through the zip library. Main thread only; one operation
// at a time. Errors raise EZipHandler; warnings go through the message
// operation (ErrCode, OnMessage, the dialog) and do not stop the read.
class TZipHandler : public TZMDynamicBind {
public:
    // What Extract returns while another operation runs.
    static constexpr int kBusy = -255;
    // What Extract returns when the library call itself failed.
    static constexpr int kLibraryFault = -7;

    const std::u16string& ZipFileName() const { return zipFileName_; }
    // Stores the name and reads the archive's directory at once (raising on
    // failure, which leaves the list empty). While an operation runs the
    // read waits for it to end.
    void SetZipFileName(const std::u16string& name);

    int Count() const { return static_cast<int>(entries_.size()); }
    // Throws std::out_of_range ("Index out of range") outside 0..Count-1.
    const TZMDirEntry& DirEntry(int index) const;
    const std::u16string& ZipComment() const { return comment_; }

    // Members to extract (names or wildcards); empty extracts every member.
    std::vector<std::u16string> FSpecArgs;
    std::u16string ExtrBaseDir;
    unsigned ExtrOptions = 0;

    // Extracts by ExtrBaseDir, ExtrOptions and FSpecArgs; returns the number
    // of files extracted, or the library's negative result. Raises 10102
    // without an archive name, 11002 when the archive lists nothing, 10504
    // when the base folder is missing, 10650/10651 when the library fails.
    int Extract();
    int SuccessCnt() const { return successCnt_; }

private:
    void List();
    // Finds the end record (raising when there is none); the file stays
    // open.
    void OpenEOC(ziplib::ArchiveFile& file);
    [[noreturn]] void RaiseNoEndRecord();
    void RunPendingName();
    static int Callback(void* caller, const ziplib::CallbackRecord& record);

    std::u16string zipFileName_;
    std::optional<std::u16string> pendingName_;
    TZMDataList entries_;
    std::u16string comment_;
    ziplib::EndRecord end_;
    std::int64_t fileSize_ = 0; // without trailing bytes after the end record
    bool spanned_ = false;
    int successCnt_ = 0;
};

} // namespace kolvarin
