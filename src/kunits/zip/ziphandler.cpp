#include "zip/ziphandler.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "codepage/codepage.h"
#include "zip/zmmessages.h"

namespace kolvarin {

namespace fs = std::filesystem;

void TZipHandler::SetZipFileName(const std::u16string& name)
{
    if (Busy()) {
        pendingName_ = name;
        return;
    }
    {
        TZMBusy busy(*this);
        zipFileName_ = name;
        try {
            List();
        } catch (...) {
            entries_.clear();
            throw;
        }
    }
    RunPendingName();
}

void TZipHandler::RunPendingName()
{
    if (pendingName_ && !Busy()) {
        const std::u16string name = *pendingName_;
        pendingName_.reset();
        SetZipFileName(name);
    }
}

const TZMDirEntry& TZipHandler::DirEntry(int index) const
{
    if (index < 0 || index >= Count()) {
        throw std::out_of_range("Index out of range");
    }
    return entries_[static_cast<std::size_t>(index)];
}

int TZipHandler::Extract()
{
    {
        TZMBusy busy(*this);
        if (!busy.Entered()) {
            return kBusy;
        }
        if (zipFileName_.empty()) {
            throw EZipHandler(TZMMessage::NoZipFile);
        }
        if (entries_.empty()) {
            List();
            if (entries_.empty()) {
                throw EZipHandler(TZMMessage::CannotOpen);
            }
        }
        ziplib::UnzCommand command;
        if (!ExtrBaseDir.empty() && (ExtrOptions & ExtrTest) == 0) {
            std::error_code ec;
            const fs::path folder = fs::absolute(codepage::Utf16ToUtf8(ExtrBaseDir), ec);
            if ((ExtrOptions & ExtrForceDirs) != 0) {
                fs::create_directories(folder, ec);
            }
            std::u16string shown = codepage::Utf8ToUtf16(folder.string());
            if (shown.empty() || shown.back() != u'/') {
                shown += u'/';
            }
            if (!fs::is_directory(folder, ec)) {
                throw EZipHandler(TZMMessage::ExtractFolderMissing, shown);
            }
            command.BaseDir = shown;
        }
        const ziplib::EntryPoints& library = CheckUse();
        command.Caller = this;
        command.Version = ziplib::kCommandVersion;
        command.CallbackProc = &TZipHandler::Callback;
        command.Verbose = Verbose || Trace;
        command.Test = (ExtrOptions & ExtrTest) != 0;
        command.Update = (ExtrOptions & ExtrUpdate) != 0;
        command.Freshen = (ExtrOptions & ExtrFreshen) != 0 && !command.Update;
        command.DirNames = (ExtrOptions & ExtrDirNames) != 0;
        command.OverWrite = (ExtrOptions & ExtrOverWrite) != 0;
        command.ZipFileName = zipFileName_;
        command.FSpecArgs = FSpecArgs;
        try {
            successCnt_ = library.DZ_UnzExec(command);
        } catch (...) {
            successCnt_ = kLibraryFault;
        }
    }
    RunPendingName();
    return successCnt_;
}

int TZipHandler::Callback(void* caller, const ziplib::CallbackRecord& record)
{
    auto* self = static_cast<TZipHandler*>(caller);
    try {
        switch (record.Kind) {
        case ziplib::CallbackKind::TotalStart: self->Progress(TZMProgressKind::Start, {}, record.Size); break;
        case ziplib::CallbackKind::ItemStart:
            self->Progress(TZMProgressKind::Item, record.FileName, record.Size);
            break;
        case ziplib::CallbackKind::ItemEnd: self->Progress(TZMProgressKind::Advance, record.FileName, 1); break;
        case ziplib::CallbackKind::TotalEnd: self->Progress(TZMProgressKind::End, {}, 0); break;
        case ziplib::CallbackKind::Message: self->ReportText(record.Text); break;
        case ziplib::CallbackKind::Warning:
        case ziplib::CallbackKind::Error: self->ShowZipMessage(record.Code, record.Text); break;
        }
    } catch (...) {
        return static_cast<int>(TZMMessage::CallbackFailed);
    }
    return self->Cancel ? 1 : 0;
}

} // namespace kolvarin
