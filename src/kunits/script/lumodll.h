#pragma once
// TDynamicLinkLibrary: a 32-bit x86 PE library mapped into an engine's
// emulated address space, for a script's import declarations.
//
// There is no operating-system loader for PE files here: LoadLibrary reads
// the file from disk and maps it like LoadFromStream. A library the image
// imports from (or forwards to) is looked for beside the image's own file and
// mapped the same way; system libraries are not there, so an image that
// imports from them fails to load (TDllError::ImportFailed).
//
// Every header, section, relocation block, import and export is checked
// against the image; a damaged image fails with a numbered error and maps
// nothing callable. The object owns the mapped block and the libraries it
// loaded for its imports; destruction calls the entry function with reason 0
// (when attach succeeded) and frees them. Thread: the engine's thread.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "execmem/execspace.h"
#include "script/lumoexporttree.h"

namespace kolvarin::script {

enum class TDllError : int {
    None = 0,
    ReadFailed = 1, // the file cannot be read
    BadDosHeader = 2, // no "MZ" header or a new-header offset outside the file
    BadPeHeader = 3, // no "PE\0\0", a short file or optional header
    BadMachine = 4, // not i386 or not a 32-bit optional header
    BadLayout = 5, // no sections, or image/header/section sizes that do not fit
    NoMemory = 6, // the emulated library area has no room for the image
    BadRelocation = 7, // a block below 8 bytes, past its directory, an entry outside the sections,
                       // or stripped relocations away from the preferred base
    ImportFailed = 8, // an imported library or function cannot be resolved
    BadImport = 9, // an import directory or table outside the image
    BadExport = 10, // an export directory or table outside the image
    EntryFailed = 11, // the entry function faulted or returned 0 for attach
};

struct TDLLFunctionImport {
    bool byOrdinal;
    uint32_t ordinal;
    std::string name;
    uint32_t address;
};

struct TDLLImport {
    std::string libraryName;
    std::vector<TDLLFunctionImport> functions;
};

struct TDLLFunctionExport {
    std::string name; // empty for an export by ordinal only
    uint32_t ordinal;
    uint32_t address; // 0 for a forwarder that could not be resolved
};

struct TSections {
    uint32_t address; // in the emulated space
    uint32_t virtualAddress;
    uint32_t size;
    uint32_t characteristics;
};

class TDynamicLinkLibrary {
public:
    TDynamicLinkLibrary(execmem::ExecSpace& space, std::string fileName);
    ~TDynamicLinkLibrary();
    TDynamicLinkLibrary(const TDynamicLinkLibrary&) = delete;
    TDynamicLinkLibrary& operator=(const TDynamicLinkLibrary&) = delete;

    // Each may be called once per object; a second load is refused.
    bool LoadLibrary(const std::string& fileName);
    bool LoadFromStream(std::span<const uint8_t> image);

    // Address of an export by name, or by ordinal written "#N"; 0 when none.
    uint32_t GetProcAddress(std::string_view name) const;

    TDllError LastError() const { return error_; }
    const std::string& FileName() const { return fileName_; }
    uint32_t ImageBase() const { return imageBase_; }
    int32_t Delta() const { return delta_; }
    uint32_t EntryPoint() const { return entryPoint_; }
    const std::vector<TDLLImport>& Imports() const { return imports_; }
    const std::vector<TDLLFunctionExport>& Exports() const { return exports_; }
    const std::vector<TSections>& Sections() const { return sections_; }

private:
    struct Image;
    bool Fail(TDllError error);
    bool Map(Image& image);
    bool Relocate(Image& image);
    bool ResolveImports(Image& image);
    bool ReadExports(const Image& image);
    void Protect(uint32_t headerSize);
    bool Attach();
    TDynamicLinkLibrary* External(const std::string& libraryName);
    uint32_t ResolveForwarder(const std::string& text);

    execmem::ExecSpace& space_;
    std::string fileName_;
    int depth_ = 0;
    uint32_t imageBase_ = 0;
    uint32_t imageSize_ = 0;
    int32_t delta_ = 0;
    uint32_t entryPoint_ = 0;
    bool attached_ = false;
    bool loaded_ = false;
    TDllError error_ = TDllError::None;
    std::vector<std::unique_ptr<TDynamicLinkLibrary>> externalLibraries_;
    std::vector<TDLLImport> imports_;
    std::vector<TDLLFunctionExport> exports_;
    std::vector<TSections> sections_;
    std::unique_ptr<TExportTree> exportTree_;
};

} // namespace kolvarin::script
