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
    : FSpace(std::make_unique<execmem::ExecSpace>())
{
    if (!baseFolder.empty()) {
        FCacheFolder = baseFolder;
        if (FCacheFolder.back() != '\\' && FCacheFolder.back() != '/')
            FCacheFolder += '/';
        if (!subFolder.empty())
            FCacheFolder += subFolder + "/";
        mkdir(FCacheFolder.c_str(), 0755); // only the last level; a failure leaves the cache unused
    }
    // A small block whose address stands for this engine in compiled code.
    FEngineHandle = FSpace->Allocate(16);
    FRuntime = std::make_unique<TLumoRuntime>(*this);
    FBuiltinHostCount = FSpace->HostFunctionCount();
    Clear();
}

TLumoScript::~TLumoScript() = default;

void TLumoScript::SetLimits(uint32_t milliseconds, uint64_t instructions)
{
    FSpace->SetLimits(milliseconds, instructions);
}

void TLumoScript::ReleaseCode()
{
    if (FCodeMemory)
        FSpace->Free(FCodeMemory);
    FCodeMemory = 0;
    FCodeSize = 0;
}

void TLumoScript::Clear()
{
    ReleaseCode();
    FNatives.clear();
    FImports.clear();
    FLoadedLibraries.clear();
    FDefines.clear();
    FLineMap.clear();
    FFileNames.clear();
    FOutputBlocks.clear();
    FImage.Clear();
    FSource.clear();
    FFileName.clear();
    FCacheFileName.clear();
    FSourceCrc = 0;
    FOutputText.clear();
    FRuntime->CloseFiles();
    FSpace->TruncateHostFunctions(FBuiltinHostCount);
}

void TLumoScript::AddNativeFunction(const std::string& name, uint32_t address)
{
    FNatives.push_back({ShortName(name), "", address});
}

void TLumoScript::AddNativeFunction(const std::string& name, uint32_t argCount, execmem::ResultKind kind,
                                    execmem::HostFunction fn)
{
    AddNativeFunction(name, FSpace->AddHostFunction(name, argCount * 4, kind, std::move(fn)));
}

void TLumoScript::AddNativeDeclaration(const std::string& text) { FSource += text; }

void TLumoScript::AddDefine(const std::string& name)
{
    std::string cut = ShortName(name);
    for (const TDefineEntry& d : FDefines)
        if (d.name == cut)
            return;
    FDefines.push_back({cut, "", {}});
}

void TLumoScript::AppendOutput(const std::string& text)
{
    FOutputText += text;
    if (echoOutput)
        std::cout << text;
}

void TLumoScript::OutputBlock(int32_t index)
{
    if (index < 0 || static_cast<size_t>(index) >= FOutputBlocks.size())
        return;
    if (echoOutput) {
        std::cout << FOutputBlocks[index];
    } else {
        FOutputText += FOutputBlocks[index];
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
    FFileName = ExtractFileName(fileName);
    FCacheFileName = fileName.empty() ? std::string() : ChangeFileExt(FFileName, ".lsc");
    FErrorText.clear();
    FPrefixLineCount = 0;
    std::string text;
    if (onPreCode) {
        std::string preCode;
        onPreCode(*this, preCode);
        text += preCode;
        for (char c : preCode)
            if (c == '\n')
                ++FPrefixLineCount;
    }
    for (const TBuiltinNative& n : FRuntime->Natives())
        AddNativeFunction(n.name, n.address);
    if (onRegisterNatives)
        onRegisterNatives(*this);
    for (const char* define : {"LumoScript", "LumoWebScript", "LS", "LWS"})
        AddDefine(define);
    FSource.clear();
    for (const std::string& prototype : FRuntime->Prototypes())
        AddNativeDeclaration(prototype);
    if (onDeclareNatives)
        onDeclareNatives(*this);
    FSource += "\r\n";
    ++FPrefixLineCount;
    FSource += text;
    FSource += source;
    TPreprocessResult preprocessed = Preprocess(FSource, FDefines, FFileName, FPrefixLineCount);
    FSource = std::move(preprocessed.text);
    FLineMap = std::move(preprocessed.lineMap);
    FFileNames = std::move(preprocessed.fileNames);
    for (const TPreprocessError& e : preprocessed.errors)
        Error(TLumoError::PreprocessorError, e.line, 0);
    FSourceCrc = Crc32(FSource);
    FImage.Clear();
    const bool cached = FErrorText.empty() && !breakpointOption && LoadCache();
    if (FErrorText.empty() && !cached) {
        TLumoCompiler compiler(*this, FImage, FSource);
        compiler.CompileProgram();
    }
    FErrorText = Trim(FErrorText);
    if (FErrorText.empty() && !cached)
        SaveCache();
    if (FErrorText.empty())
        Link();
    FErrorText = Trim(FErrorText);
    if (!FErrorText.empty())
        ReleaseCode();
    FOutputText.clear();
    return FErrorText.empty();
}

void TLumoScript::Link()
{
    FCodeSize = FImage.Position();
    FCodeMemory = FSpace->Allocate(std::max<uint32_t>(FCodeSize, 1));
    if (!FCodeMemory) {
        Error(TLumoError::FixupError, -1, 0); // no room for the code
        return;
    }
    std::vector<TLumoError> errors;
    std::vector<uint8_t> code =
        ResolveFixups(FImage, FNatives, FCodeMemory, FEngineHandle, errors,
                      [this](const std::string& target, bool byLinkName) { return ResolveImport(target, byLinkName); });
    for (TLumoError errorCode : errors)
        FErrorText += "[Link] Error: " + LumoErrorText(errorCode) + "\r\n";
    FErrorText = Trim(FErrorText);
    if (!FErrorText.empty())
        return;
    FSpace->Write(FCodeMemory, code.data(), code.size());
    FSpace->CodeChanged(FCodeMemory, code.size());
}

std::optional<uint32_t> TLumoScript::ResolveImport(const std::string& target, bool byLinkName)
{
    for (const TImportEntry& i : FImports) {
        if ((byLinkName ? i.linkName : i.name) != target)
            continue;
        if (i.libraryName.empty() || i.exportName.empty())
            return 0;
        TDynamicLinkLibrary* library = nullptr;
        for (auto& loaded : FLoadedLibraries)
            if (loaded->FileName() == i.libraryName)
                library = loaded.get();
        if (!library) {
            // A library that fails to load stays in the list, so it is tried once.
            auto loaded = std::make_unique<TDynamicLinkLibrary>(*FSpace, i.libraryName);
            std::vector<uint8_t> image;
            if (!loaded->LoadLibrary(i.libraryName) && archive && archive->ExtractFile(i.libraryName, image)) {
                loaded = std::make_unique<TDynamicLinkLibrary>(*FSpace, i.libraryName);
                loaded->LoadFromStream(image);
            }
            FLoadedLibraries.push_back(std::move(loaded));
            library = FLoadedLibraries.back().get();
        }
        return library->GetProcAddress(i.exportName);
    }
    return std::nullopt;
}

uint32_t TLumoScript::GetProc(const std::string& name) const
{
    if (!FCodeMemory)
        return 0;
    std::string wanted = Trim(name);
    for (const TPublicEntry& p : FImage.publicFunctions)
        if (Trim(p.name) == wanted)
            return FCodeMemory + p.address;
    return 0;
}

execmem::CallResult TLumoScript::Call(uint32_t address, std::span<const uint32_t> args, execmem::ResultKind kind)
{
    if (!address) {
        execmem::CallResult result;
        result.error = "call of a nil address";
        return result;
    }
    return FSpace->Call(address, args, kind);
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
    const int32_t p = FPrefixLineCount;
    if (line < 0) {
        prefix = "[Link]";
    } else if (p > line) {
        prefix = "OwnPreCode(" + std::to_string(line + p) + "," + std::to_string(column) + ")";
    } else {
        // The script's first line is entry 0 of the line map.
        size_t entry = static_cast<size_t>(line - p);
        if (entry >= FLineMap.size()) {
            prefix = "[?]";
        } else {
            const TLineMapEntry& m = FLineMap[entry];
            std::string file = m.fileIndex >= 0 && static_cast<size_t>(m.fileIndex) < FFileNames.size()
                                   ? FFileNames[m.fileIndex]
                                   : "-";
            prefix = "[" + file + "](" + std::to_string(m.line) + "," + std::to_string(column) + ")";
        }
    }
    FErrorText += prefix + " Error: " + LumoErrorText(code) + "\r\n";
}

} // namespace kolvarin::script
