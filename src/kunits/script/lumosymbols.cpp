// The name and type tables of one compilation.
#include "script/lumocompiler.h"
#include "script/lumoscript.h"

namespace kolvarin::script {

namespace {

bool LookupKind(uint8_t kind)
{
    return kind == kVariable || kind == kFunction || kind == kEnumName || kind == kConstant || kind == kLabel;
}

uint32_t RoundUp4(uint32_t n) { return (n + 3) & ~3u; }

} // namespace

TLumoCompiler::TLumoCompiler(TLumoScript& engine, TCodeImage& image, const std::string& source)
    : engine_(engine), image_(image), emit_(image), source_(source)
{
    names_.reserve(64 + source.size() / 24);
    image.code.reserve(source.size());
    names_.emplace_back(); // index 0: the blank record of failed lookups
    EnterKeywords();
}

void TLumoCompiler::EnterKeywords()
{
    static const struct {
        const char* word;
        uint8_t token;
    } keywords[] = {
        {"{", tLBrace},
        {"else", tElse},
        {"}", tRBrace},
        {"asm", tAsm},
        {"if", tIf},
        {"switch", tSwitch},
        {"case", tCase},
        {"default", tDefault},
        {"while", tWhile},
        {"do", tDo},
        {"for", tFor},
        {"printf", tPrintf},
        {"print", tPrint},
        {"echo", tPrint},
        {"shortint", tShortint},
        {"void", tVoid},
        {"file", tVoid},
        {"int", tIntWord},
        {"long", tIntWord},
        {"byte", tByte},
        {"char", tChar},
        {"float", tFloatWord},
        {"string", tString},
        {"unsigned", tUnsigned},
        {"signed", tSigned},
        {"break", tBreak},
        {"continue", tContinue},
        {"static", tStatic},
        {"return", tReturn},
        {"struct", tStruct},
        {"packed", tPacked},
        {"inherited", tInherited},
        {"union", tUnion},
        {"object", tObject},
        {"native", tNative},
        {"import", tImport},
        {"stdcall", tStdcall},
        {"goto", tGoto},
        {"enum", tEnum},
        {"breakpoint", tBreakpoint},
        {"outputblock", tOutputBlock},
        {"sizeof", tSizeof},
        {"bool", tIntWord},
        {"BOOL", tIntWord},
        {"boolean", tChar},
    };
    for (const auto& k : keywords) {
        TNameEntry e;
        e.name = k.word;
        e.kind = kKeyword;
        e.token = k.token;
        Insert(std::move(e));
    }
    static const struct {
        const char* name;
        int32_t value;
    } constants[] = {{"false", 0}, {"true", 1}, {"FALSE", 0}, {"TRUE", 1}, {"NULL", 0}};
    for (const auto& c : constants) {
        TNameEntry e;
        e.name = c.name;
        e.kind = kConstant;
        e.type = tcInt;
        e.value = c.value;
        Insert(std::move(e));
    }
}

uint32_t TLumoCompiler::SizeOfType(uint8_t type, int32_t typeIndex) const
{
    switch (type) {
    case tcUByte:
    case tcByte:
    case tcUChar:
    case tcChar: return 1;
    case tcUShort:
    case tcShort: return 2;
    case tcStruct: return typeIndex >= 0 ? types_[typeIndex].size : 0;
    default: return 4;
    }
}

uint32_t TLumoCompiler::EntrySize(const TNameEntry& e) const
{
    if (e.pointer)
        return 4;
    return e.elementSize * (e.array ? e.arrayLength : 1);
}

int32_t TLumoCompiler::Insert(TNameEntry e)
{
    if (e.name.size() > 255)
        e.name.resize(255);
    if (e.kind != kKeyword && e.kind != kFunction && e.storage != sMember)
        e.scope = functionName_;
    if (e.kind == kVariable || e.kind == kFunction)
        e.codeName = NewCodeName();
    int32_t index = static_cast<int32_t>(names_.size());
    if (e.kind == kVariable) {
        e.elementSize = e.pointer ? 4 : SizeOfType(e.type, e.typeIndex);
        uint32_t total = EntrySize(e);
        if (e.storage == sLocal) {
            if (engine_.alignment)
                total = RoundUp4(total);
            TNameEntry& fn = names_[function_];
            fn.frameSize += total;
            e.offset = static_cast<int32_t>(fn.frameSize);
        } else if (e.storage == sParam || e.storage == sHidden) {
            TNameEntry& fn = names_[function_];
            e.ownerFunction = function_;
            fn.paramSize += e.pointer ? 4 : RoundUp4(total);
            e.offset = static_cast<int32_t>(fn.paramSize);
            fn.params.push_back(index);
        }
    }
    // Members are found through their structure only; names made inside a
    // function are found only while it is compiled.
    if (e.storage != sMember)
        (e.scope.empty() ? globalIndex_ : localIndex_)[e.name].push_back(index);
    names_.push_back(std::move(e));
    return index;
}

int32_t TLumoCompiler::FindInScope(bool local, const std::string& name, bool anyKind) const
{
    const auto& index = local ? localIndex_ : globalIndex_;
    auto it = index.find(name);
    if (it == index.end())
        return -1;
    for (int32_t i : it->second)
        if (anyKind || LookupKind(names_[i].kind))
            return i;
    return -1;
}

int32_t TLumoCompiler::Lookup(const std::string& name, bool scopeCheck) const
{
    if (InFunction()) {
        int32_t local = FindInScope(true, name, false);
        if (local >= 0 || scopeCheck)
            return local;
    }
    return FindInScope(false, name, false);
}

int32_t TLumoCompiler::LookupMember(int32_t typeIndex, const std::string& name) const
{
    if (typeIndex < 0)
        return -1;
    // Newest first, so a structure's own method hides an inherited one.
    const std::vector<int32_t>& entries = types_[typeIndex].entries;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        if (names_[*it].name == name)
            return *it;
    return -1;
}

int32_t TLumoCompiler::MethodStruct() const
{
    return InFunction() && names_[function_].storage == sMember ? names_[function_].owningStruct : -1;
}

int32_t TLumoCompiler::LookupName(const std::string& name, bool& viaThis) const
{
    viaThis = false;
    int32_t entry = Lookup(name);
    if (entry >= 0)
        return entry;
    int32_t member = LookupMember(MethodStruct(), name);
    viaThis = member >= 0;
    return member;
}

uint8_t TLumoCompiler::TokenOf(const std::string& name) const
{
    int32_t i = InFunction() ? FindInScope(true, name, true) : -1;
    if (i < 0)
        i = FindInScope(false, name, true);
    if (i < 0)
        return tIdent;
    const TNameEntry& e = names_[i];
    if (e.kind == kKeyword)
        return e.token;
    if (e.kind == kFunction || e.kind == kEnumName || e.kind == kConstant || e.kind == kLabel)
        return e.kind;
    return tIdent;
}

int32_t TLumoCompiler::FindStruct(const std::string& name) const
{
    for (size_t i = 0; i < types_.size(); ++i)
        if (types_[i].name == name)
            return static_cast<int32_t>(i);
    return -1;
}

int32_t TLumoCompiler::FindNative(const std::string& name) const
{
    const auto& natives = engine_.Natives();
    for (size_t i = 0; i < natives.size(); ++i)
        if (natives[i].name == name)
            return static_cast<int32_t>(i);
    return -1;
}

std::string TLumoCompiler::NewLabel() { return "GL@" + std::to_string(labelCounter_++); }

std::string TLumoCompiler::NewCodeName() { return "AV@" + std::to_string(codeCounter_++); }

int32_t TLumoCompiler::Temporary(uint8_t type, int32_t typeIndex, const std::string& tag, bool pointer)
{
    TNameEntry e;
    e.name = pointer ? "OBJTEMP?" + NewLabel()
                     : NewLabel() + "?" + tag + "@" + functionName_ + (type == tcString ? "TEMPSTR!" : "STVN!");
    e.type = type;
    e.typeIndex = typeIndex;
    e.pointer = pointer;
    e.storage = InFunction() ? sLocal : sGlobal;
    return Insert(std::move(e));
}

} // namespace kolvarin::script
