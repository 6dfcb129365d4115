#include "script/lumoscript.h"

#include <sys/stat.h>

#include <fstream>
#include <iostream>
#include <sstream>

#include "script/lumocompiler.h"
#include "script/lumopreproc.h"
#include "script/lumortl.h"
#include "script/lumosupport.h"

namespace kolvarin::script {

TLumoScript::TLumoScript(const std::string& baseFolder, const std::string& subFolder)
    : space_(std::make_unique<execmem::ExecSpace>())
{
    if (!baseFolder.empty()) {
        cacheFolder_ = baseFolder;
        if (cacheFolder_.back() != '\\' && cacheFolder_.back() != '/')
            cacheFolder_ += '/';
        if (!subFolder.empty())
            cacheFolder_ += subFolder + "/";
        mkdir(cacheFolder_.c_str(), 0755); // only the last level; a failure leaves the cache unused
    }
    // A small block whose address stands for this engine in compiled code.
    engineHandle_ = space_->Allocate(16);
    runtime_ = std::make_unique<TLumoRuntime>(*this);
    builtinHostCount_ = space_->HostFunctionCount();
    Clear();
}

TLumoScript::~TLumoScript() = default;

void TLumoScript::SetLimits(uint32_t milliseconds, uint64_t instructions)
{
    space_->SetLimits(milliseconds, instructions);
}

void TLumoScript::ReleaseCode()
{
    if (codeMemory_)
        space_->Free(codeMemory_);
    codeMemory_ = 0;
    codeSize_ = 0;
}

void TLumoScript::Clear()
{
    ReleaseCode();
    natives_.clear();
    imports_.clear();
    loadedLibraries_.clear();
    defines_.clear();
    lineMap_.clear();
    fileNames_.clear();
    outputBlocks_.clear();
    image_.Clear();
    source_.clear();
    fileName_.clear();
    cacheFileName_.clear();
    sourceCrc_ = 0;
    outputText_.clear();
    runtime_->CloseFiles();
    space_->TruncateHostFunctions(builtinHostCount_);
}

void TLumoScript::AddNativeFunction(const std::string& name, uint32_t address)
{
    natives_.push_back({ShortName(name), "", address});
}

void TLumoScript::AddNativeFunction(const std::string& name, uint32_t argCount, execmem::ResultKind kind,
                                    execmem::HostFunction fn)
{
    AddNativeFunction(name, space_->AddHostFunction(name, argCount * 4, kind, std::move(fn)));
}

void TLumoScript::AddNativeDeclaration(const std::string& text) { source_ += text; }

void TLumoScript::AddDefine(const std::string& name)
{
    std::string cut = ShortName(name);
    for (const TDefineEntry& d : defines_)
        if (d.name == cut)
            return;
    defines_.push_back({cut, "", {}});
}

void TLumoScript::AppendOutput(const std::string& text)
{
    outputText_ += text;
    if (echoOutput)
        std::cout << text;
}

void TLumoScript::OutputBlock(int32_t index)
{
    if (index < 0 || static_cast<size_t>(index) >= outputBlocks_.size())
        return;
    if (echoOutput) {
        std::cout << outputBlocks_[index];
    } else {
        outputText_ += outputBlocks_[index];
    }
}

bool TLumoScript::Compile(const std::u16string& source, const std::string& fileName)
{
    std::string bytes;
    bytes.reserve(source.size());
    for (char16_t c : source)
        bytes.push_back(static_cast<char>(c));
    return Compile(bytes, fileName);
}

bool TLumoScript::CompileFile(const std::string& fileName)
{
    std::ifstream file(fileName, std::ios::binary);
    std::stringstream text;
    if (file)
        text << file.rdbuf();
    return Compile(text.str(), fileName);
}

bool TLumoScript::Compile(const std::string& source, const std::string& fileName)
{
    ReleaseCode();
    fileName_ = ExtractFileName(fileName);
    cacheFileName_ = fileName.empty() ? std::string() : ChangeFileExt(fileName_, ".lsc");
    errorText_.clear();
    prefixLineCount_ = 0;
    std::string text;
    if (onPreCode) {
        std::string preCode;
        onPreCode(*this, preCode);
        text += preCode;
        for (char c : preCode)
            if (c == '\n')
                ++prefixLineCount_;
    }
    for (const TBuiltinNative& n : runtime_->Natives())
        AddNativeFunction(n.name, n.address);
    if (onRegisterNatives)
        onRegisterNatives(*this);
    for (const char* define : {"LumoScript", "LumoWebScript", "LS", "LWS"})
        AddDefine(define);
    source_.clear();
    for (const std::string& prototype : runtime_->Prototypes())
        AddNativeDeclaration(prototype);
    if (onDeclareNatives)
        onDeclareNatives(*this);
    source_ += "\r\n";
    ++prefixLineCount_;
    source_ += text;
    source_ += source;
    TPreprocessResult preprocessed = Preprocess(source_, defines_, fileName_, prefixLineCount_);
    source_ = std::move(preprocessed.text);
    lineMap_ = std::move(preprocessed.lineMap);
    fileNames_ = std::move(preprocessed.fileNames);
    for (const TPreprocessError& e : preprocessed.errors)
        Error(TLumoError::PreprocessorError, e.line, 0);
    sourceCrc_ = Crc32(source_);
    image_.Clear();
    const bool cached = errorText_.empty() && !breakpointOption && LoadCache();
    if (errorText_.empty() && !cached) {
        TLumoCompiler compiler(*this, image_, source_);
        compiler.CompileProgram();
    }
    errorText_ = Trim(errorText_);
    if (errorText_.empty() && !cached)
        SaveCache();
    if (errorText_.empty())
        Link();
    errorText_ = Trim(errorText_);
    if (!errorText_.empty())
        ReleaseCode();
    outputText_.clear();
    return errorText_.empty();
}

void TLumoScript::Link()
{
    codeSize_ = image_.Position();
    codeMemory_ = space_->Allocate(std::max<uint32_t>(codeSize_, 1));
    if (!codeMemory_) {
        Error(TLumoError::FixupError, -1, 0); // no room for the code
        return;
    }
    std::vector<TLumoError> errors;
    std::vector<uint8_t> code =
        ResolveFixups(image_, natives_, codeMemory_, engineHandle_, errors,
                      [this](const std::string& target, bool byLinkName) { return ResolveImport(target, byLinkName); });
    for (TLumoError errorCode : errors)
        errorText_ += "[Link] Error: " + LumoErrorText(errorCode) + "\r\n";
    errorText_ = Trim(errorText_);
    if (!errorText_.empty())
        return;
    space_->Write(codeMemory_, code.data(), code.size());
    space_->CodeChanged(codeMemory_, code.size());
}

std::optional<uint32_t> TLumoScript::ResolveImport(const std::string& target, bool byLinkName)
{
    for (const TImportEntry& i : imports_) {
        if ((byLinkName ? i.linkName : i.name) != target)
            continue;
        if (i.libraryName.empty() || i.exportName.empty())
            return 0;
        TDynamicLinkLibrary* library = nullptr;
        for (auto& loaded : loadedLibraries_)
            if (loaded->FileName() == i.libraryName)
                library = loaded.get();
        if (!library) {
            // A library that fails to load stays in the list, so it is tried once.
            auto loaded = std::make_unique<TDynamicLinkLibrary>(*space_, i.libraryName);
            std::vector<uint8_t> image;
            if (!loaded->LoadLibrary(i.libraryName) && archive && archive->ExtractFile(i.libraryName, image)) {
                loaded = std::make_unique<TDynamicLinkLibrary>(*space_, i.libraryName);
                loaded->LoadFromStream(image);
            }
            loadedLibraries_.push_back(std::move(loaded));
            library = loadedLibraries_.back().get();
        }
        return library->GetProcAddress(i.exportName);
    }
    return std::nullopt;
}

uint32_t TLumoScript::GetProc(const std::string& name) const
{
    if (!codeMemory_)
        return 0;
    std::string wanted = Trim(name);
    for (const TPublicEntry& p : image_.publicFunctions)
        if (Trim(p.name) == wanted)
            return codeMemory_ + p.address;
    return 0;
}

execmem::CallResult TLumoScript::Call(uint32_t address, std::span<const uint32_t> args, execmem::ResultKind kind)
{
    if (!address) {
        execmem::CallResult result;
        result.error = "call of a nil address";
        return result;
    }
    return space_->Call(address, args, kind);
}

execmem::CallResult TLumoScript::CallProc(const std::string& name, std::span<const uint32_t> args,
                                          execmem::ResultKind kind)
{
    uint32_t address = GetProc(name);
    if (!address) {
        execmem::CallResult result;
        result.error = "no public function named " + name;
        return result;
    }
    return Call(address, args, kind);
}

void TLumoScript::Error(TLumoError code, int32_t line, int32_t column)
{
    std::string prefix;
    const int32_t p = prefixLineCount_;
    if (line < 0) {
        prefix = "[Link]";
    } else if (p > line) {
        prefix = "OwnPreCode(" + std::to_string(line + p) + "," + std::to_string(column) + ")";
    } else {
        // The script's first line is entry 0 of the line map.
        size_t entry = static_cast<size_t>(line - p);
        if (entry >= lineMap_.size()) {
            prefix = "[?]";
        } else {
            const TLineMapEntry& m = lineMap_[entry];
            std::string file = m.fileIndex >= 0 && static_cast<size_t>(m.fileIndex) < fileNames_.size()
                                   ? fileNames_[m.fileIndex]
                                   : "-";
            prefix = "[" + file + "](" + std::to_string(m.line) + "," + std::to_string(column) + ")";
        }
    }
    errorText_ += prefix + " Error: " + LumoErrorText(code) + "\r\n";
}

} // namespace kolvarin::script
