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
    switch (token_) {
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
    case tIdent: return FindStruct(text_) >= 0;
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
    switch (token_) {
    case tShortint: t.type = isUnsigned ? tcUShort : tcShort; break;
    case tVoid: t.type = tcVoid; break;
    case tChar: t.type = isUnsigned ? tcUChar : tcChar; break;
    case tFloatWord: t.type = tcFloat; break;
    case tIntWord: t.type = isUnsigned ? tcUInt : tcInt; break;
    case tByte: t.type = isUnsigned ? tcUByte : tcByte; break;
    case tString: t.type = tcString; break;
    case tIdent:
        t.typeIndex = FindStruct(text_);
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
    declaredFunction_ = false;
    TDeclType t;
    if (ParseType(t))
        Declarators(t, paramMode, memberMode);
}

void TLumoCompiler::Declarators(const TDeclType& t, bool paramMode, bool memberMode)
{
    while (!error_) {
        bool pointer = Accept(tStar);
        if (token_ == tFunction || token_ == tConstant || token_ == tEnumValue) {
            Error(TLumoError::VariableAlreadyDefined);
            return;
        }
        if (token_ != tIdent) {
            Error(TLumoError::IdentifierExpected);
            return;
        }
        std::string name = text_;
        Next();
        if (token_ == tLParen && !paramMode) {
            if (memberMode) {
                MethodPrototype(name, t, pointer);
            } else {
                FunctionDefinition(name, t, pointer);
            }
            return;
        }
        if ((token_ == tScope || token_ == tDot) && !paramMode && !memberMode && FindStruct(name) >= 0) {
            MethodDefinition(FindStruct(name), t);
            return;
        }
        uint32_t length = 0;
        bool isArray = false;
        if (Accept(tLBracket)) {
            if (token_ != tInt || number_ < 1 || number_ > 0x1000000) {
                Error(TLumoError::NumberExpected);
                return;
            }
            length = static_cast<uint32_t>(number_);
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
    if (memberMode ? LookupMember(struct_, name) >= 0 : Lookup(name, true) >= 0) {
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
        e.owningStruct = struct_;
    } else if (paramMode) {
        e.storage = sParam;
    } else if (InFunction()) {
        e.storage = t.isStatic ? sStatic : sLocal;
    } else {
        e.storage = sGlobal;
    }
    int32_t index = Insert(std::move(e));
    if (memberMode)
        types_[struct_].entries.push_back(index);
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
    function_ = fn;
    functionName_ = name;
    ParameterList(fn, -1);
    if (error_)
        return;
    TNameEntry& fr = names_[fn];
    if (fr.isNative || fr.isImport) {
        if (fr.isNative) {
            int32_t native = FindNative(name);
            if (native < 0) {
                Error(TLumoError::NativeNotFound);
            } else {
                engine_.natives_[native].linkName = fr.codeName;
            }
        } else {
            std::string library, exported;
            if (Expect(tLParen, TLumoError::OpenParenExpected)) {
                if (token_ != tLiteral) {
                    Error(TLumoError::StringExpected);
                } else {
                    library = literal_;
                    Next();
                    if (Expect(tComma, TLumoError::CommaExpected)) {
                        if (token_ != tLiteral) {
                            Error(TLumoError::StringExpected);
                        } else {
                            exported = literal_;
                            Next();
                            Expect(tRParen, TLumoError::CloseParenExpected);
                        }
                    }
                }
            }
            engine_.imports_.push_back({ShortName(name), names_[fn].codeName, ShortName(library), ShortName(exported)});
        }
        LeaveFunction();
        return;
    }
    if (token_ != tLBrace) {
        Error(TLumoError::OpenBraceExpected); // a function needs its body where it is declared
        return;
    }
    FunctionBody(fn);
    declaredFunction_ = true;
}

void TLumoCompiler::ParameterList(int32_t fn, int32_t owner)
{
    Next(); // "("
    if (token_ != tRParen) {
        while (!error_) {
            Declaration(true, false);
            if (error_)
                break;
            if (Accept(tComma))
                continue;
            if (token_ != tRParen)
                Error(TLumoError::ParameterDefinition);
            break;
        }
    }
    if (!error_)
        Expect(tRParen, TLumoError::CloseParenExpected);
    if (error_)
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
    const TNameEntry& f = names_[fn];
    if (f.type == tcStruct && !f.pointer) {
        uint32_t size = SizeOfType(tcStruct, f.typeIndex);
        if (size != 1 && size != 2 && size != 4)
            hidden("?FR!", f.typeIndex);
    }
    TNameEntry& fr = names_[fn];
    // Parameters lie above the return address; the one pushed last is nearest.
    int32_t offset = 8;
    auto place = [&](int32_t p) {
        TNameEntry& param = names_[p];
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
    const std::string& owner = types_[struct_].name;
    for (int32_t i : types_[struct_].entries) {
        const TNameEntry& e = names_[i];
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
    e.owningStruct = struct_;
    e.type = t.type;
    e.typeIndex = t.typeIndex;
    e.pointer = pointer;
    e.isStdcall = t.isStdcall;
    int32_t method = Insert(std::move(e));
    types_[struct_].entries.push_back(method);
    function_ = method;
    functionName_ = owner + "." + name;
    ParameterList(method, struct_);
    LeaveFunction();
}

void TLumoCompiler::MethodDefinition(int32_t structIndex, const TDeclType&)
{
    Next(); // "::" or "."
    const std::string owner = types_[structIndex].name;
    int32_t method = LookupMember(structIndex, text_);
    if (method < 0 || names_[method].kind != kFunction || names_[method].owner != owner) {
        Error(TLumoError::VariableNotDefined);
        return;
    }
    if (names_[method].defined) {
        Error(TLumoError::VariableAlreadyDefined);
        return;
    }
    Next();
    if (!Expect(tLParen, TLumoError::OpenParenExpected))
        return;
    // The prototype in the structure gave the parameters; the list is read past.
    for (int depth = 1; depth > 0 && !error_ && !AtEnd(); Next()) {
        if (token_ == tLParen)
            ++depth;
        if (token_ == tRParen && --depth == 0) {
            Next();
            break;
        }
    }
    if (token_ != tLBrace) {
        Error(TLumoError::OpenBraceExpected);
        return;
    }
    function_ = method;
    functionName_ = owner + "." + names_[method].name;
    for (int32_t p : names_[method].params)
        localIndex_[names_[p].name].push_back(p);
    names_[method].defined = true;
    FunctionBody(method);
    declaredFunction_ = true;
}

void TLumoCompiler::FunctionBody(int32_t fn)
{
    std::string skip = NewLabel();
    emit_.Jmp(skip);
    const std::string code = names_[fn].codeName;
    image_.DefineLabel(code);
    image_.AddPublicFunction(names_[fn].name, names_[fn].owner);
    emit_.Push(EBP);
    emit_.MovRegReg(EBP, ESP);
    uint32_t subEsp = emit_.SubEspPatchable();
    for (Reg r : {EBX, ECX, EDX, EDI, ESI})
        emit_.Push(r);
    uint32_t slot = image_.Position();
    image_.Word(0);
    uint32_t movEcx = emit_.MovEcxPatchable();
    emit_.MovRegReg(EDI, EBP);
    uint32_t subEdi = emit_.SubEdiPatchable();
    emit_.RepStosb();

    EnterLevel("Return" + code, "Return" + code);
    Block();
    LeaveLevel();
    // Falling off the end of a function whose result the caller will own or
    // release gives nil rather than whatever EAX held.
    if (OwnsResult(names_[fn]))
        emit_.XorReg(EAX);

    image_.DefineLabel("Return" + code);
    // Locals and parameters own the strings they hold.
    std::vector<int32_t> released;
    for (int32_t p : names_[fn].params)
        if (names_[p].storage == sParam && NeedsRelease(names_[p].type, names_[p].typeIndex, names_[p].pointer))
            released.push_back(p);
    for (size_t i = static_cast<size_t>(fn) + 1; i < names_.size(); ++i) {
        const TNameEntry& e = names_[i];
        if (e.kind == kVariable && e.storage == sLocal && e.scope == functionName_ &&
            NeedsRelease(e.type, e.typeIndex, e.pointer))
            released.push_back(static_cast<int32_t>(i));
    }
    if (!released.empty()) {
        emit_.Push(EAX);
        for (int32_t i : released) {
            emit_.LeaEbp(EBX, names_[i].storage == sParam ? names_[i].offset : -names_[i].offset);
            uint32_t count = names_[i].array ? names_[i].arrayLength : 1;
            for (uint32_t k = 0; k < count; ++k)
                EmitRelease(names_[i].type, names_[i].typeIndex, false,
                            static_cast<int32_t>(k * names_[i].elementSize));
        }
        emit_.Pop(EAX);
    }
    // ESP is set from the frame, so a return from inside a switch (which keeps
    // its selector on the stack) still pops the saved registers.
    uint32_t leaEsp = emit_.LeaEspEbpPatchable();
    for (Reg r : {ESI, EDI, EDX, ECX, EBX})
        emit_.Pop(r);
    emit_.MovRegReg(ESP, EBP);
    emit_.Pop(EBP);
    const TNameEntry& f = names_[fn];
    if (f.type == tcFloat && !f.pointer)
        emit_.EaxToSt0();
    emit_.Ret(f.paramSize);
    image_.DefineLabel(skip);

    uint32_t frame = names_[fn].frameSize;
    image_.Patch32(subEsp, frame);
    image_.Patch32(movEcx, frame);
    image_.Patch32(subEdi, frame);
    image_.Patch32(leaEsp, static_cast<uint32_t>(-static_cast<int32_t>(frame + 20)));
    if (frame > 0) {
        image_.code[slot] = 0x31; // xor eax,eax
        image_.code[slot + 1] = 0xC0;
    } else {
        image_.code[slot] = 0xEB; // jmp short over the zeroing code
        image_.code[slot + 1] = static_cast<uint8_t>(kZeroCodeSize);
    }
    LeaveFunction();
}

void TLumoCompiler::LeaveFunction()
{
    function_ = -1;
    functionName_.clear();
    localIndex_.clear();
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
    for (int32_t m : types_[typeIndex].entries) {
        const TNameEntry& e = names_[m];
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
        emit_.LoadFromEbx(4, false, d);
        if (op == RefOp::Count) {
            emit_.StringUp();
        } else {
            emit_.StringDown();
            if (op == RefOp::ReleaseAndClear)
                emit_.StoreToEbx(4, d); // nil, or the constant itself
        }
        return;
    }
    if (type != tcStruct || typeIndex < 0)
        return;
    for (int32_t m : types_[typeIndex].entries) {
        const TNameEntry& e = names_[m];
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
    if (token_ != tStruct && token_ != tUnion && token_ != tObject) {
        Error(TLumoError::StructStatementExpected);
        return;
    }
    bool isUnion = token_ == tUnion;
    Next();
    if (token_ != tIdent) {
        Error(TLumoError::IdentifierExpected);
        return;
    }
    std::string name = text_;
    if (FindStruct(name) >= 0) {
        Error(TLumoError::StructAlreadyDefined);
        return;
    }
    Next();
    std::vector<int32_t> parents;
    if (Accept(tLParen)) {
        while (!error_ && token_ != tRParen) {
            int32_t parent = FindStruct(text_);
            if (token_ != tIdent || parent < 0) {
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
    types_.push_back(type);
    int32_t index = static_cast<int32_t>(types_.size()) - 1;
    int32_t outer = struct_;
    struct_ = index;
    for (int32_t parent : parents) {
        for (int32_t m : std::vector<int32_t>(types_[parent].entries)) {
            TNameEntry copy = names_[m];
            copy.owningStruct = index;
            names_.push_back(std::move(copy));
            types_[index].entries.push_back(static_cast<int32_t>(names_.size()) - 1);
        }
    }
    while (!error_ && !end_ && token_ != tRBrace) {
        Declaration(false, true);
        if (!error_ && !Accept(tSemicolon) && token_ != tRBrace)
            Error(TLumoError::SemicolonExpected);
    }
    if (!error_)
        Expect(tRBrace, TLumoError::CloseBraceExpected);
    // Layout: members one after another, or all at 0 in a union.
    TTypeEntry& t = types_[index];
    uint32_t running = 0, largest = 0;
    for (int32_t m : t.entries) {
        TNameEntry& e = names_[m];
        if (e.kind != kVariable)
            continue;
        uint32_t size = EntrySize(e);
        if (engine_.alignment && !t.packed)
            size = RoundUp4(size);
        e.memberOffset = t.isUnion ? 0 : running;
        running += size;
        largest = std::max(largest, size);
        ++t.memberCount;
    }
    t.size = t.isUnion ? largest : running;
    struct_ = outer;
    if (!error_ && token_ != tSemicolon && token_ != tRBrace) {
        TDeclType declared;
        declared.type = tcStruct;
        declared.typeIndex = index;
        Declarators(declared, false, false);
    }
}

void TLumoCompiler::EnumDefinition()
{
    Next();
    if (token_ == tIdent) {
        TNameEntry e;
        e.name = text_;
        e.kind = kEnumName;
        e.type = tcInt;
        Insert(std::move(e));
        Next();
    } else if (token_ == tEnumValue || token_ == tConstant || token_ == tFunction) {
        Error(TLumoError::EnumNameUsed);
        return;
    }
    if (!Expect(tLBrace, TLumoError::OpenBraceExpected))
        return;
    std::vector<int64_t> taken;
    int64_t previous = -1;
    while (!error_ && !end_ && token_ != tRBrace) {
        if (token_ == tConstant || token_ == tEnumValue) {
            Error(TLumoError::EnumAlreadyDefined);
            return;
        }
        if (token_ != tIdent) {
            Error(TLumoError::IdentifierExpected);
            return;
        }
        std::string name = text_;
        if (Lookup(name, true) >= 0) {
            Error(TLumoError::EnumAlreadyDefined);
            return;
        }
        Next();
        int64_t value;
        if (Accept(tAssign)) {
            if (token_ != tInt) {
                Error(TLumoError::NumberExpected);
                return;
            }
            value = number_;
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
        if (!Accept(tComma) && token_ != tRBrace)
            Error(TLumoError::CloseBraceExpected);
    }
    if (!error_)
        Expect(tRBrace, TLumoError::CloseBraceExpected);
}

} // namespace kolvarin::script
