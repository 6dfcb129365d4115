#pragma once

#include <optional>
#include <string>

#include "zip/zmcore.h"
#include "ziplib/dzlib.h"

namespace kolvarin {

// The binding to the zip library: loads it by name from a folder, checks its
// version and keeps its six calls. Main thread only.
class TZMDynamicBind : public TZMCore {
public:
    // Versions of the library that are accepted.
    static constexpr int kMinVersion = 179;
    static constexpr int kMaxVersion = 300;

    TZMDynamicBind();

    // Replaces how the library is loaded (tests use it to refuse a load or
    // report another version). Takes effect at the next load.
    void SetLoader(ziplib::Loader loader);
    // The folder the library is loaded from ('/'-terminated when set).
    void SetDllDirectory(const std::u16string& folder) { dllDirectory_ = folder; }
    const std::u16string& DllDirectory() const { return dllDirectory_; }

    // Dll_Load: true loads (again) and raises EZipHandler 10650 or 10651 on
    // failure, leaving nothing loaded; false unloads.
    bool Dll_Load() const { return entries_.has_value(); }
    void SetDll_Load(bool load);

    int DllVersion() const { return version_; }
    int DllPrivVersion() const { return privVersion_; }
    const std::u16string& DllPath() const { return path_; }

protected:
    // Loads the library when needed (raising) and refuses an old one.
    const ziplib::EntryPoints& CheckUse();

private:
    void Load();
    void Unload();

    ziplib::Loader loader_;
    std::u16string dllDirectory_;
    std::optional<ziplib::EntryPoints> entries_;
    int version_ = 0;
    int privVersion_ = 0;
    std::u16string path_;
};

} // namespace kolvarin
