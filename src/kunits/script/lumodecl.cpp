// Declarations: variables, functions and their frames, natives, imports,
// structures and enums.
#include "script/lumocompiler.h"
#include "script/lumoscript.h"

namespace kolvarin::script {

namespace {

uint32_t RoundUp4(uint32_t n) { return (n + 3) & ~3u; }

// Bytes of the zeroing code that a frame without locals jumps over.
constexpr int8_t kZeroCodeSize = 15;

} // namespace

bool TLumoCompiler::IsTypeStart() const
{
    switch (FToken) {
    case tShortint:
    case tVoid:
    case tChar:
    case tFloatWord:
    case tIntWord:
    case tByte:
    case tUnsigned:
    case tSigned:
    case tString:
    case tStatic:
    case tNative:
    case tImport:
    case tStdcall: return true;
    case tIdent: return FindStruct(FText) >= 0;
    default: return false;
    }
}

bool TLumoCompiler::ParseType(TDeclType& t)
{
    bool isUnsigned = false;
    for (;;) {
        if (Accept(tSigned))
            isUnsigned = false;
        else if (Accept(tUnsigned))
            isUnsigned = true;
        else if (Accept(tStatic))
            t.isStatic = true;
        else if (Accept(tNative))
            t.isNative = true;
        else if (Accept(tImport))
            t.isImport = true;
        else if (Accept(tStdcall))
            t.isStdcall = true;
        else
            break;
    }
    switch (FToken) {
    case tShortint: t.type = isUnsigned ? tcUShort : tcShort; break;
    case tVoid: t.type = tcVoid; break;
    case tChar: t.type = isUnsigned ? tcUChar : tcChar; break;
    case tFloatWord: t.type = tcFloat; break;
    case tIntWord: t.type = isUnsigned ? tcUInt : tcInt; break;
    case tByte: t.type = isUnsigned ? tcUByte : tcByte; break;
    case tString: t.type = tcString; break;
    case tIdent:
        t.typeIndex = FindStruct(FText);
        if (t.typeIndex >= 0) {
            t.type = tcStruct;
            break;
        }
        [[fallthrough]];
    default: Error(TLumoError::TypeExpected); return false;
    }
    Next();
    return true;
}

void TLumoCompiler::Declaration(bool paramMode, bool memberMode)
{
    FDeclaredFunction = false;
    TDeclType t;
    if (ParseType(t))
        Declarators(t, paramMode, memberMode);
}

void TLumoCompiler::Declarators(const TDeclType& t, bool paramMode, bool memberMode)
{
    while (!FError) {
        bool pointer = Accept(tStar);
        if (FToken == tFunction || FToken == tConstant || FToken == tEnumValue) {
            Error(TLumoError::VariableAlreadyDefined);
            return;
        }
        if (FToken != tIdent) {
            Error(TLumoError::IdentifierExpected);
            return;
        }
        std::string name = FText;
        Next();
        if (FToken == tLParen && !paramMode) {
            if (memberMode) {
                MethodPrototype(name, t, pointer);
            } else {
                FunctionDefinition(name, t, pointer);
            }
            return;
        }
        if ((FToken == tScope || FToken == tDot) && !paramMode && !memberMode && FindStruct(name) >= 0) {
            MethodDefinition(FindStruct(name), t);
            return;
        }
        uint32_t length = 0;
        bool isArray = false;
        if (Accept(tLBracket)) {
            if (FToken != tInt || FNumber < 1 || FNumber > 0x1000000) {
                Error(TLumoError::NumberExpected);
                return;
            }
            length = static_cast<uint32_t>(FNumber);
            isArray = true;
            Next();
            if (!Expect(tRBracket, TLumoError::CloseBracketExpected))
                return;
        }
        DeclareVariable(name, t, pointer, length, isArray, paramMode, memberMode);
        if (paramMode || !Accept(tComma))
            return;
    }
}

void TLumoCompiler::DeclareVariable(const std::string& name, const TDeclType& t, bool pointer, uint32_t length,
                                    bool isArray, bool paramMode, bool memberMode)
{
    if (memberMode ? LookupMember(FStruct, name) >= 0 : Lookup(name, true) >= 0) {
        Error(TLumoError::VariableAlreadyDefined);
        return;
    }
    if (t.type == tcVoid && !pointer && !paramMode) {
        Error(TLumoError::WrongType);
        return;
    }
    TNameEntry e;
    e.name = name;
    e.type = t.type;
    e.typeIndex = t.typeIndex;
    e.pointer = pointer;
    e.array = isArray;
    e.arrayLength = length;
    if (memberMode) {
        e.storage = sMember;
        e.owningStruct = FStruct;
    } else if (paramMode) {
        e.storage = sParam;
    } else if (InFunction()) {
        e.storage = t.isStatic ? sStatic : sLocal;
    } else {
        e.storage = sGlobal;
    }
    int32_t index = Insert(std::move(e));
    if (memberMode)
        FTypes[FStruct].entries.push_back(index);
}

void TLumoCompiler::FunctionDefinition(const std::string& name, const TDeclType& t, bool pointer)
{
    if (InFunction() || Lookup(name, true) >= 0) {
        Error(TLumoError::VariableAlreadyDefined);
        return;
    }
    TNameEntry e;
    e.name = name;
    e.kind = kFunction;
    e.type = t.type;
    e.typeIndex = t.typeIndex;
    e.pointer = pointer;
    e.isNative = t.isNative;
    e.isImport = t.isImport;
    e.isStdcall = t.isStdcall;
    int32_t fn = Insert(std::move(e));
    FFunction = fn;
    FFunctionName = name;
    ParameterList(fn, -1);
    if (FError)
        return;
    TNameEntry& fr = FNames[fn];
    if (fr.isNative || fr.isImport) {
        if (fr.isNative) {
            int32_t native = FindNative(name);
            if (native < 0) {
                Error(TLumoError::NativeNotFound);
            } else {
                FEngine.FNatives[native].linkName = fr.codeName;
            }
        } else {
            std::string library, exported;
            if (Expect(tLParen, TLumoError::OpenParenExpected)) {
                if (FToken != tLiteral) {
                    Error(TLumoError::StringExpected);
                } else {
                    library = FLiteral;
                    Next();
                    if (Expect(tComma, TLumoError::CommaExpected)) {
                        if (FToken != tLiteral) {
                            Error(TLumoError::StringExpected);
                        } else {
                            exported = FLiteral;
                            Next();
                            Expect(tRParen, TLumoError::CloseParenExpected);
                        }
                    }
                }
            }
            FEngine.FImports.push_back({ShortName(name), FNames[fn].codeName, ShortName(library), ShortName(exported)});
        }
        LeaveFunction();
        return;
    }
    if (FToken != tLBrace) {
        Error(TLumoError::OpenBraceExpected); // a function needs its body where it is declared
        return;
    }
    FunctionBody(fn);
    FDeclaredFunction = true;
}

void TLumoCompiler::ParameterList(int32_t fn, int32_t owner)
{
    Next(); // "("
    if (FToken != tRParen) {
        while (!FError) {
            Declaration(true, false);
            if (FError)
                break;
            if (Accept(tComma))
                continue;
            if (FToken != tRParen)
                Error(TLumoError::ParameterDefinition);
            break;
        }
    }
    if (!FError)
        Expect(tRParen, TLumoError::CloseParenExpected);
    if (FError)
        return;
    auto hidden = [this](const char* name, int32_t typeIndex) {
        TNameEntry e;
        e.name = name;
        e.type = tcStruct;
        e.typeIndex = typeIndex;
        e.pointer = true;
        e.storage = sHidden;
        Insert(std::move(e));
    };
    if (owner >= 0)
        hidden("this", owner);
    const TNameEntry& f = FNames[fn];
    if (f.type == tcStruct && !f.pointer) {
        uint32_t size = SizeOfType(tcStruct, f.typeIndex);
        if (size != 1 && size != 2 && size != 4)
            hidden("?FR!", f.typeIndex);
    }
    TNameEntry& fr = FNames[fn];
    // Parameters lie above the return address; the one pushed last is nearest.
    int32_t offset = 8;
    auto place = [&](int32_t p) {
        TNameEntry& param = FNames[p];
        param.offset = offset;
        offset += static_cast<int32_t>(param.pointer ? 4 : RoundUp4(EntrySize(param)));
    };
    if (fr.isStdcall) {
        for (int32_t p : fr.params)
            place(p);
    } else {
        for (auto it = fr.params.rbegin(); it != fr.params.rend(); ++it)
            place(*it);
    }
    if (fr.paramSize > 0xFFFF)
        Error(TLumoError::ParameterDefinition); // RET n takes 16 bits
}

void TLumoCompiler::MethodPrototype(const std::string& name, const TDeclType& t, bool pointer)
{
    const std::string& owner = FTypes[FStruct].name;
    for (int32_t i : FTypes[FStruct].entries) {
        const TNameEntry& e = FNames[i];
        if (e.name == name && (e.kind == kVariable || e.owner == owner)) {
            Error(TLumoError::VariableAlreadyDefined);
            return;
        }
    }
    if (InFunction()) {
        Error(TLumoError::StructStatementExpected); // a structure with methods is declared at the top level
        return;
    }
    TNameEntry e;
    e.name = name;
    e.owner = owner;
    e.kind = kFunction;
    e.storage = sMember;
    e.owningStruct = FStruct;
    e.type = t.type;
    e.typeIndex = t.typeIndex;
    e.pointer = pointer;
    e.isStdcall = t.isStdcall;
    int32_t method = Insert(std::move(e));
    FTypes[FStruct].entries.push_back(method);
    FFunction = method;
    FFunctionName = owner + "." + name;
    ParameterList(method, FStruct);
    LeaveFunction();
}

void TLumoCompiler::MethodDefinition(int32_t structIndex, const TDeclType&)
{
    Next(); // "::" or "."
    const std::string owner = FTypes[structIndex].name;
    int32_t method = LookupMember(structIndex, FText);
    if (method < 0 || FNames[method].kind != kFunction || FNames[method].owner != owner) {
        Error(TLumoError::VariableNotDefined);
        return;
    }
    if (FNames[method].defined) {
        Error(TLumoError::VariableAlreadyDefined);
        return;
    }
    Next();
    if (!Expect(tLParen, TLumoError::OpenParenExpected))
        return;
    // The prototype in the structure gave the parameters; the list is read past.
    for (int depth = 1; depth > 0 && !FError && !AtEnd(); Next()) {
        if (FToken == tLParen)
            ++depth;
        if (FToken == tRParen && --depth == 0) {
            Next();
            break;
        }
    }
    if (FToken != tLBrace) {
        Error(TLumoError::OpenBraceExpected);
        return;
    }
    FFunction = method;
    FFunctionName = owner + "." + FNames[method].name;
    for (int32_t p : FNames[method].params)
        FLocalIndex[FNames[p].name].push_back(p);
    FNames[method].defined = true;
    FunctionBody(method);
    FDeclaredFunction = true;
}

void TLumoCompiler::FunctionBody(int32_t fn)
{
    std::string skip = NewLabel();
    FEmit.Jmp(skip);
    const std::string code = FNames[fn].codeName;
    FImage.DefineLabel(code);
    FImage.AddPublicFunction(FNames[fn].name, FNames[fn].owner);
    FEmit.Push(EBP);
    FEmit.MovRegReg(EBP, ESP);
    uint32_t subEsp = FEmit.SubEspPatchable();
    for (Reg r : {EBX, ECX, EDX, EDI, ESI})
        FEmit.Push(r);
    uint32_t slot = FImage.Position();
    FImage.Word(0);
    uint32_t movEcx = FEmit.MovEcxPatchable();
    FEmit.MovRegReg(EDI, EBP);
    uint32_t subEdi = FEmit.SubEdiPatchable();
    FEmit.RepStosb();

    EnterLevel("Return" + code, "Return" + code);
    Block();
    LeaveLevel();
    // Falling off the end of a function whose result the caller will own or
    // release gives nil rather than whatever EAX held.
    if (OwnsResult(FNames[fn]))
        FEmit.XorReg(EAX);

    FImage.DefineLabel("Return" + code);
    // Locals and parameters own the strings they hold.
    std::vector<int32_t> released;
    for (int32_t p : FNames[fn].params)
        if (FNames[p].storage == sParam && NeedsRelease(FNames[p].type, FNames[p].typeIndex, FNames[p].pointer))
            released.push_back(p);
    for (size_t i = static_cast<size_t>(fn) + 1; i < FNames.size(); ++i) {
        const TNameEntry& e = FNames[i];
        if (e.kind == kVariable && e.storage == sLocal && e.scope == FFunctionName &&
            NeedsRelease(e.type, e.typeIndex, e.pointer))
            released.push_back(static_cast<int32_t>(i));
    }
    if (!released.empty()) {
        FEmit.Push(EAX);
        for (int32_t i : released) {
            FEmit.LeaEbp(EBX, FNames[i].storage == sParam ? FNames[i].offset : -FNames[i].offset);
            uint32_t count = FNames[i].array ? FNames[i].arrayLength : 1;
            for (uint32_t k = 0; k < count; ++k)
                EmitRelease(FNames[i].type, FNames[i].typeIndex, false,
                            static_cast<int32_t>(k * FNames[i].elementSize));
        }
        FEmit.Pop(EAX);
    }
    // ESP is set from the frame, so a return from inside a switch (which keeps
    // its selector on the stack) still pops the saved registers.
    uint32_t leaEsp = FEmit.LeaEspEbpPatchable();
    for (Reg r : {ESI, EDI, EDX, ECX, EBX})
        FEmit.Pop(r);
    FEmit.MovRegReg(ESP, EBP);
    FEmit.Pop(EBP);
    const TNameEntry& f = FNames[fn];
    if (f.type == tcFloat && !f.pointer)
        FEmit.EaxToSt0();
    FEmit.Ret(f.paramSize);
    FImage.DefineLabel(skip);

    uint32_t frame = FNames[fn].frameSize;
    FImage.Patch32(subEsp, frame);
    FImage.Patch32(movEcx, frame);
    FImage.Patch32(subEdi, frame);
    FImage.Patch32(leaEsp, static_cast<uint32_t>(-static_cast<int32_t>(frame + 20)));
    if (frame > 0) {
        FImage.code[slot] = 0x31; // xor eax,eax
        FImage.code[slot + 1] = 0xC0;
    } else {
        FImage.code[slot] = 0xEB; // jmp short over the zeroing code
        FImage.code[slot + 1] = static_cast<uint8_t>(kZeroCodeSize);
    }
    LeaveFunction();
}

void TLumoCompiler::LeaveFunction()
{
    FFunction = -1;
    FFunctionName.clear();
    FLocalIndex.clear();
}

bool TLumoCompiler::OwnsResult(const TNameEntry& f) const
{
    return !f.pointer && (f.type == tcString || (f.type == tcStruct && NeedsRelease(tcStruct, f.typeIndex, false)));
}

bool TLumoCompiler::NeedsRelease(uint8_t type, int32_t typeIndex, bool pointer) const
{
    if (pointer)
        return false;
    if (type == tcString)
        return true;
    if (type != tcStruct || typeIndex < 0)
        return false;
    for (int32_t m : FTypes[typeIndex].entries) {
        const TNameEntry& e = FNames[m];
        if (e.kind == kVariable && NeedsRelease(e.type, e.typeIndex, e.pointer))
            return true;
    }
    return false;
}

void TLumoCompiler::EmitRelease(uint8_t type, int32_t typeIndex, bool pointer, int32_t d, RefOp op)
{
    if (pointer)
        return;
    if (type == tcString) {
        FEmit.LoadFromEbx(4, false, d);
        if (op == RefOp::Count) {
            FEmit.StringUp();
        } else {
            FEmit.StringDown();
            if (op == RefOp::ReleaseAndClear)
                FEmit.StoreToEbx(4, d); // nil, or the constant itself
        }
        return;
    }
    if (type != tcStruct || typeIndex < 0)
        return;
    for (int32_t m : FTypes[typeIndex].entries) {
        const TNameEntry& e = FNames[m];
        if (e.kind != kVariable || !NeedsRelease(e.type, e.typeIndex, e.pointer))
            continue;
        uint32_t count = e.array ? e.arrayLength : 1;
        for (uint32_t k = 0; k < count; ++k)
            EmitRelease(e.type, e.typeIndex, false, d + static_cast<int32_t>(e.memberOffset + k * e.elementSize), op);
    }
}

void TLumoCompiler::StructDefinition()
{
    bool packed = Accept(tPacked);
    if (FToken != tStruct && FToken != tUnion && FToken != tObject) {
        Error(TLumoError::StructStatementExpected);
        return;
    }
    bool isUnion = FToken == tUnion;
    Next();
    if (FToken != tIdent) {
        Error(TLumoError::IdentifierExpected);
        return;
    }
    std::string name = FText;
    if (FindStruct(name) >= 0) {
        Error(TLumoError::StructAlreadyDefined);
        return;
    }
    Next();
    std::vector<int32_t> parents;
    if (Accept(tLParen)) {
        while (!FError && FToken != tRParen) {
            int32_t parent = FindStruct(FText);
            if (FToken != tIdent || parent < 0) {
                Error(TLumoError::StructExpected);
                return;
            }
            parents.push_back(parent);
            Next();
            if (!Accept(tComma))
                break;
        }
        if (!Expect(tRParen, TLumoError::CloseParenExpected))
            return;
    }
    if (!Expect(tLBrace, TLumoError::OpenBraceExpected))
        return;
    TTypeEntry type;
    type.name = name;
    type.packed = packed;
    type.isUnion = isUnion;
    type.parents = parents;
    FTypes.push_back(type);
    int32_t index = static_cast<int32_t>(FTypes.size()) - 1;
    int32_t outer = FStruct;
    FStruct = index;
    for (int32_t parent : parents) {
        for (int32_t m : std::vector<int32_t>(FTypes[parent].entries)) {
            TNameEntry copy = FNames[m];
            copy.owningStruct = index;
            FNames.push_back(std::move(copy));
            FTypes[index].entries.push_back(static_cast<int32_t>(FNames.size()) - 1);
        }
    }
    while (!FError && !FEnd && FToken != tRBrace) {
        Declaration(false, true);
        if (!FError && !Accept(tSemicolon) && FToken != tRBrace)
            Error(TLumoError::SemicolonExpected);
    }
    if (!FError)
        Expect(tRBrace, TLumoError::CloseBraceExpected);
    // Layout: members one after another, or all at 0 in a union.
    TTypeEntry& t = FTypes[index];
    uint32_t running = 0, largest = 0;
    for (int32_t m : t.entries) {
        TNameEntry& e = FNames[m];
        if (e.kind != kVariable)
            continue;
        uint32_t size = EntrySize(e);
        if (FEngine.alignment && !t.packed)
            size = RoundUp4(size);
        e.memberOffset = t.isUnion ? 0 : running;
        running += size;
        largest = std::max(largest, size);
        ++t.memberCount;
    }
    t.size = t.isUnion ? largest : running;
    FStruct = outer;
    if (!FError && FToken != tSemicolon && FToken != tRBrace) {
        TDeclType declared;
        declared.type = tcStruct;
        declared.typeIndex = index;
        Declarators(declared, false, false);
    }
}

void TLumoCompiler::EnumDefinition()
{
    Next();
    if (FToken == tIdent) {
        TNameEntry e;
        e.name = FText;
        e.kind = kEnumName;
        e.type = tcInt;
        Insert(std::move(e));
        Next();
    } else if (FToken == tEnumValue || FToken == tConstant || FToken == tFunction) {
        Error(TLumoError::EnumNameUsed);
        return;
    }
    if (!Expect(tLBrace, TLumoError::OpenBraceExpected))
        return;
    std::vector<int64_t> taken;
    int64_t previous = -1;
    while (!FError && !FEnd && FToken != tRBrace) {
        if (FToken == tConstant || FToken == tEnumValue) {
            Error(TLumoError::EnumAlreadyDefined);
            return;
        }
        if (FToken != tIdent) {
            Error(TLumoError::IdentifierExpected);
            return;
        }
        std::string name = FText;
        if (Lookup(name, true) >= 0) {
            Error(TLumoError::EnumAlreadyDefined);
            return;
        }
        Next();
        int64_t value;
        if (Accept(tAssign)) {
            if (FToken != tInt) {
                Error(TLumoError::NumberExpected);
                return;
            }
            value = FNumber;
            Next();
        } else {
            value = previous + 1;
            while (std::find(taken.begin(), taken.end(), value) != taken.end())
                ++value;
        }
        taken.push_back(value);
        previous = value;
        TNameEntry e;
        e.name = name;
        e.kind = kConstant;
        e.type = tcInt;
        e.value = static_cast<int32_t>(value);
        Insert(std::move(e));
        if (!Accept(tComma) && FToken != tRBrace)
            Error(TLumoError::CloseBraceExpected);
    }
    if (!FError)
        Expect(tRBrace, TLumoError::CloseBraceExpected);
}

} // namespace kolvarin::script
