#include "zip/zmdynamicbind.h"

#include <utility>

#include "codepage/codepage.h"
#include "zip/zmmessages.h"

namespace kolvarin {

namespace {

const std::u16string kLibraryName(std::begin(ziplib::kLibraryName), std::end(ziplib::kLibraryName) - 1);

// Whether every call is there, looked at in the library's export order.
bool Complete(const ziplib::EntryPoints& e, ziplib::LoadFailure& failure)
{
    const std::pair<bool, const char*> calls[] = {
        {bool(e.DZ_UnzExec), "DZ_UnzExec"}, {bool(e.DZ_ZipExec), "DZ_ZipExec"},
        {bool(e.DZ_Version), "DZ_Version"}, {bool(e.DZ_PrivVersion), "DZ_PrivVersion"},
        {bool(e.DZ_Abort), "DZ_Abort"},     {bool(e.DZ_Path), "DZ_Path"},
    };
    for (const auto& [present, name] : calls) {
        if (!present) {
            failure.Text = std::string("missing entry point ") + name;
            return false;
        }
    }
    return true;
}

} // namespace

TZMDynamicBind::TZMDynamicBind() : loader_(ziplib::LoadBuiltinLibrary) {}

void TZMDynamicBind::SetLoader(ziplib::Loader loader) { loader_ = std::move(loader); }

void TZMDynamicBind::SetDll_Load(bool load)
{
    if (load) {
        Load();
    } else {
        Unload();
    }
}

void TZMDynamicBind::Load()
{
    Unload();
    std::u16string folder = dllDirectory_;
    if (!folder.empty() && folder.back() != u'/') {
        folder += u'/';
    }
    ziplib::LoadFailure failure;
    std::optional<ziplib::EntryPoints> entries =
        loader_ ? loader_(codepage::Utf16ToUtf8(folder + kLibraryName), failure) : std::nullopt;
    if (!entries || !Complete(*entries, failure)) {
        if (Verbose || Trace) {
            const std::string code = std::to_string(failure.Code);
            ReportText(u"Error [" + std::u16string(code.begin(), code.end()) + u" " +
                       codepage::Utf8ToUtf16(failure.Text) + u"] loading " + kLibraryName);
        }
        throw EZipHandler(TZMMessage::LibraryLoadFailed, kLibraryName);
    }
    privVersion_ = entries->DZ_PrivVersion();
    version_ = entries->DZ_Version();
    path_ = entries->DZ_Path();
    if (version_ < kMinVersion || version_ > kMaxVersion) {
        const std::u16string path = path_;
        Unload();
        throw EZipHandler(TZMMessage::LibraryOldOrCorrupt, path);
    }
    entries_ = std::move(entries);
}

void TZMDynamicBind::Unload()
{
    entries_.reset();
    version_ = 0;
    privVersion_ = 0;
    path_.clear();
}

const ziplib::EntryPoints& TZMDynamicBind::CheckUse()
{
    if (!entries_) {
        Load();
    }
    return *entries_;
}

} // namespace kolvarin
