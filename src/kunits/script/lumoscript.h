#pragma once
// TLumoScript: the script engine a host uses. It compiles a script in the
// engine's C-like language to x86-32 machine code, links it into its own
// emulated address space (execmem) and lets the host call the script's public
// functions there. Natives (host functions the script calls) are registered
// at every compile from the native-registration callback.
//
// Errors are never thrown: compile and link errors are numbered lines in
// ErrorText(); a fault while script code runs comes back in the CallResult.
// Thread: one thread at a time per engine.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "execmem/execspace.h"
#include "script/lumoarchive.h"
#include "script/lumocodeimage.h"
#include "script/lumodll.h"
#include "script/lumoerrors.h"
#include "script/lumolinker.h"

namespace kolvarin::script {

struct TDefineEntry {
    std::string name;
    std::string value;
    std::vector<std::string> parameters;
};

// One entry per script line after the prefix: where that line came from.
struct TLineMapEntry {
    int32_t line;
    int32_t fileIndex;
};

class TLumoCompiler;
class TLumoRuntime;

class TLumoScript {
public:
    using PreCodeCallback = std::function<void(TLumoScript&, std::string& text)>;
    using EngineCallback = std::function<void(TLumoScript&)>;

    // BaseFolder/SubFolder name the cache folder, where each compile with a
    // file name keeps its code (".lsc") and takes it back while the
    // preprocessed source and the options are unchanged. Throws std::runtime_error when the
    // emulated address space cannot be created.
    TLumoScript(const std::string& baseFolder = {}, const std::string& subFolder = {});
    ~TLumoScript();
    TLumoScript(const TLumoScript&) = delete;
    TLumoScript& operator=(const TLumoScript&) = delete;

    PreCodeCallback onPreCode;
    EngineCallback onRegisterNatives;
    EngineCallback onDeclareNatives;

    // Options.
    bool compressCache = true; // cache files are written AP32-packed
    bool alignment = true; // locals and members that are not packed take multiples of 4 bytes
    bool echoOutput = false; // printed text also goes to standard output
    bool breakpointOption = false; // "breakpoint" emits int3, which ends the call with an error
    // A script archive the linker reads a library from when it is not on disk
    // (not owned; nil = none).
    TLumoArchiveReader* archive = nullptr;
    // Limits of one call into script code: wall time in milliseconds (5000
    // until set) and executed instructions (0 = none; counting slows emulation).
    void SetLimits(uint32_t milliseconds, uint64_t instructions = 0);

    // Compiles already-preprocessed text. FileName only names the script in
    // error lines and the cache. True when ErrorText() is empty; on failure no
    // code memory is held.
    bool Compile(const std::string& source, const std::string& fileName);
    bool CompileFile(const std::string& fileName);
    // UTF-16 source: each character is taken as one byte (scripts are 8-bit).
    bool Compile(const std::u16string& source, const std::string& fileName);

    // Address of a public function (names trimmed, exact case), 0 when none or
    // nothing is linked.
    uint32_t GetProc(const std::string& name) const;
    // Calls a public function; arguments are pushed in the given order. A
    // script function takes over one count of each string argument; a string
    // result carries one count that the host releases (ReleaseScriptString).
    execmem::CallResult Call(uint32_t address, std::span<const uint32_t> args = {},
                             execmem::ResultKind kind = execmem::ResultKind::Int);
    // GetProc + Call; an unknown name gives an error result.
    execmem::CallResult CallProc(const std::string& name, std::span<const uint32_t> args = {},
                                 execmem::ResultKind kind = execmem::ResultKind::Int);

    void Clear();

    // Called from the callbacks.
    void AddNativeFunction(const std::string& name, uint32_t address);
    // Registers a host function behind a stub; ArgCount 32-bit slots are popped.
    void AddNativeFunction(const std::string& name, uint32_t argCount, execmem::ResultKind kind,
                           execmem::HostFunction fn);
    void AddNativeDeclaration(const std::string& text);
    void AddDefine(const std::string& name);

    void OutputBlock(int32_t index);
    void AppendOutput(const std::string& text);

    // State.
    const std::string& ErrorText() const { return errorText_; }
    const std::string& OutputText() const { return outputText_; }
    void ClearOutput() { outputText_.clear(); }
    execmem::ExecSpace& Space() { return *space_; }
    const TLumoRuntime& Runtime() const { return *runtime_; }
    uint32_t CodeMemory() const { return codeMemory_; }
    int32_t PrefixLineCount() const { return prefixLineCount_; }
    const TCodeImage& Image() const { return image_; }
    const std::vector<TNativeEntry>& Natives() const { return natives_; }
    const std::vector<TImportEntry>& Imports() const { return imports_; }
    std::vector<std::string>& OutputBlocks() { return outputBlocks_; }
    const std::vector<TDefineEntry>& Defines() const { return defines_; }
    const std::string& CacheFileName() const { return cacheFileName_; }
    const std::string& CacheFolder() const { return cacheFolder_; }
    uint32_t SourceCrc() const { return sourceCrc_; }
    // The preprocessed source stream of the last compile.
    const std::string& SourceStream() const { return source_; }

    // The line map and file names through which error lines name their source
    // position; the preprocessor fills them at each compile.
    std::vector<TLineMapEntry>& LineMap() { return lineMap_; }
    std::vector<std::string>& FileNames() { return fileNames_; }

    // Used by the compiler: appends one numbered error line for LINE/COLUMN.
    void Error(TLumoError code, int32_t line, int32_t column);

private:
    friend class TLumoCompiler;
    void ReleaseCode();
    void Link();
    // The cache file; a rejected file leaves the tables as they were.
    bool LoadCache();
    void SaveCache();
    std::optional<uint32_t> ResolveImport(const std::string& target, bool byLinkName);

    std::unique_ptr<execmem::ExecSpace> space_;
    std::unique_ptr<TLumoRuntime> runtime_;
    uint32_t engineHandle_ = 0;
    size_t builtinHostCount_ = 0;

    std::string cacheFolder_;
    std::vector<TNativeEntry> natives_;
    std::vector<TImportEntry> imports_;
    // Libraries of the script's imports, loaded at link, freed by Clear.
    std::vector<std::unique_ptr<TDynamicLinkLibrary>> loadedLibraries_;
    std::vector<TDefineEntry> defines_;
    std::vector<TLineMapEntry> lineMap_;
    std::vector<std::string> fileNames_;
    std::vector<std::string> outputBlocks_;
    TCodeImage image_;
    std::string source_;
    std::string fileName_;
    std::string cacheFileName_;
    uint32_t sourceCrc_ = 0;
    uint32_t codeMemory_ = 0;
    uint32_t codeSize_ = 0;
    int32_t prefixLineCount_ = 0;
    std::string errorText_;
    std::string outputText_;
};

// Script strings in an engine's address space (count, length, characters, NUL).
std::string ScriptStringToString(execmem::ExecSpace& space, uint32_t value);
// A new string with count 1, or 0 for empty text. Throws ExecFault when the
// heap is exhausted.
uint32_t StringToScriptString(execmem::ExecSpace& space, const std::string& text);
// Drops one count; frees the string at 0. Nil and constants are left alone.
void ReleaseScriptString(execmem::ExecSpace& space, uint32_t value);

} // namespace kolvarin::script
