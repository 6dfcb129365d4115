// Statements and control flow.
#include <cctype>

#include "script/lumocompiler.h"
#include "script/lumoscript.h"

namespace kolvarin::script {

void TLumoCompiler::Terminator(bool needed)
{
    if (!needed || FError)
        return;
    if (FToken == tSemicolon) {
        Next();
    } else if (FToken != tRBrace) {
        Error(TLumoError::SemicolonExpected);
    }
}

void TLumoCompiler::EnterLevel(const std::string& breakLabel, const std::string& continueLabel)
{
    FBreakLabels.push_back(breakLabel);
    FContinueLabels.push_back(continueLabel);
}

void TLumoCompiler::LeaveLevel()
{
    FBreakLabels.pop_back();
    FContinueLabels.pop_back();
}

void TLumoCompiler::TopLevel()
{
    while (!FError && !AtEnd()) {
        switch (FToken) {
        case tStruct:
        case tPacked:
        case tUnion:
        case tObject: StructDefinition(); break;
        case tEnum: EnumDefinition(); break;
        case tSemicolon: Next(); break;
        default:
            if (IsTypeStart()) {
                Declaration();
                Terminator(!FDeclaredFunction);
            } else {
                Statement(true);
            }
            break;
        }
    }
}

void TLumoCompiler::Block()
{
    if (!Expect(tLBrace, TLumoError::OpenBraceExpected))
        return;
    while (!FError && !AtEnd() && FToken != tRBrace)
        Statement(true);
    if (!FError)
        Expect(tRBrace, TLumoError::CloseBraceExpected);
}

// The body of if, while and for: ";" is empty, "}" leaves it to the block.
void TLumoCompiler::Body()
{
    if (FToken == tSemicolon) {
        Next();
    } else if (FToken != tRBrace) {
        Statement(true);
    }
}

void TLumoCompiler::Statement(bool needsTerminator)
{
    if (FError)
        return;
    if (FNesting >= kMaxNesting) {
        Error(TLumoError::UnknownStatement); // nesting this deep is no script anyone writes
        return;
    }
    ++FNesting;
    StatementBody(needsTerminator);
    --FNesting;
}

void TLumoCompiler::StatementBody(bool needsTerminator)
{
    switch (FToken) {
    case tIdent: {
        if (FindStruct(FText) >= 0) {
            Declaration();
            Terminator(needsTerminator && !FDeclaredFunction);
            return;
        }
        bool viaThis;
        int32_t entry = LookupName(FText, viaThis);
        if (entry < 0 || (FNames[entry].kind != kVariable && !viaThis)) {
            Error(TLumoError::VariableNotDefined);
            return;
        }
        Next();
        Assignment(entry, false, viaThis);
        break;
    }
    case tFunction: {
        int32_t fn = Lookup(FText);
        Next();
        Call(fn);
        break;
    }
    case tStar: {
        Next();
        int32_t entry = FToken == tIdent ? Lookup(FText) : -1;
        if (entry < 0 || FNames[entry].kind != kVariable) {
            Error(TLumoError::VariableNotDefined);
            return;
        }
        Next();
        Assignment(entry, true);
        break;
    }
    case tSemicolon: Next(); return;
    case tLBrace: Block(); return;
    case tIf: IfStatement(); return;
    case tSwitch: SwitchStatement(); return;
    case tWhile: WhileStatement(); return;
    case tDo: DoStatement(); return;
    case tFor: ForStatement(); return;
    case tPrintf:
    case tPrint: PrintStatement(); break;
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
    case tImport:
    case tNative:
    case tStdcall:
        Declaration();
        Terminator(needsTerminator && !FDeclaredFunction);
        return;
    case tStruct:
    case tPacked:
    case tUnion: StructDefinition(); break;
    case tObject: StructDefinition(); return;
    case tEnum: EnumDefinition(); return;
    case tBreak:
    case tContinue:
        FEmit.Jmp(FToken == tBreak ? FBreakLabels.back() : FContinueLabels.back());
        Next();
        break;
    case tReturn: ReturnStatement(); break;
    case tGoto: GotoStatement(); break;
    case tInherited: InheritedCall(); break;
    case tAsm:
        Next();
        SkipAsm();
        return;
    case tOutputBlock: OutputBlockStatement(); break;
    case tSizeof: SizeofFactor(); break;
    case tBreakpoint:
        if (FEngine.breakpointOption)
            FEmit.Int3();
        Next();
        break;
    case tLabelDef: UserLabel(); return;
    default: Error(TLumoError::UnknownStatement); return;
    }
    Terminator(needsTerminator);
}

void TLumoCompiler::Assignment(int32_t entry, bool throughPointer, bool viaThis)
{
    TDesignator d;
    if (!Designator(entry, d, viaThis))
        return;
    if (d.called)
        return; // a method call as a statement
    if (throughPointer) {
        if (!d.pointer || d.isArray) {
            Error(TLumoError::WrongType);
            return;
        }
        FlushDisp(d);
        FEmit.MovEbxDerefEbx();
        d.pointer = false;
    }
    if (d.charValue) {
        Error(TLumoError::IllegalStringOperation);
        return;
    }
    const bool isFloat = d.type == tcFloat && !d.pointer;
    const bool isString = d.type == tcString && !d.pointer && !d.isArray;
    const bool isStruct = d.type == tcStruct && !d.pointer && !d.isArray;
    const int size = d.pointer ? 4 : static_cast<int>(SizeOfType(d.type, d.typeIndex));
    switch (FToken) {
    case tAssign:
        Next();
        StoreInto(d);
        return;
    case tInc:
    case tDec: {
        bool increment = FToken == tInc;
        Next();
        if (isString || isStruct || d.isArray) {
            Error(isString ? TLumoError::IllegalStringOperation : TLumoError::IllegalStructOperation);
        } else if (isFloat) {
            FEmit.LoadFromEbx(4, false, d.disp);
            FEmit.FloatStep(increment);
            FEmit.StoreToEbx(4, d.disp);
        } else {
            FEmit.IncDecAtEbx(size, increment, d.disp);
        }
        return;
    }
    case tQuestion: {
        Next();
        LoadDesignator(d);
        std::string elseLabel = NewLabel(), endLabel = NewLabel();
        FEmit.TestEaxJz(elseLabel);
        Statement(false);
        FEmit.Jmp(endLabel);
        if (!FError && Expect(tColon, TLumoError::ColonExpected)) {
            FImage.DefineLabel(elseLabel);
            Statement(false);
        }
        FImage.DefineLabel(endLabel);
        return;
    }
    case tBar:
    case tPlus:
    case tMinus:
    case tStar:
    case tSlash:
    case tPercent:
    case tAmp:
    case tShl:
    case tShr:
    case tCaret: break;
    default: Error(TLumoError::AssignmentExpected); return;
    }
    uint8_t op = FToken;
    Next();
    if (!Expect(tAssign, TLumoError::AssignmentExpected))
        return;
    if (isStruct || d.isArray) {
        Error(TLumoError::IllegalStructOperation);
        return;
    }
    FEmit.Push(EBX);
    TValue old = LoadDesignator(d);
    FEmit.Push(EAX);
    TValue right = Expression(isString);
    if (FError)
        return;
    if (isString && op != tPlus) {
        Error(TLumoError::IllegalStringOperation);
        return;
    }
    TValue result = BinaryOp(op, old, right);
    if (FError)
        return;
    if (isString) {
        AssignStringFromStack(d.disp);
        return;
    }
    FEmit.Pop(EBX);
    if (isFloat && result.kind == VKind::Int)
        FEmit.IntToFloat();
    if (!isFloat && result.kind == VKind::Float)
        FEmit.FloatToInt();
    FEmit.StoreToEbx(size, d.disp);
}

void TLumoCompiler::StoreInto(const TDesignator& dc)
{
    TDesignator d = dc;
    if (d.isArray) {
        Error(TLumoError::WrongType);
        return;
    }
    if (d.type == tcStruct && !d.pointer) {
        FlushDisp(d);
        FEmit.Push(EBX);
        StructExpression(d.typeIndex);
        if (FError)
            return;
        if (NeedsRelease(tcStruct, d.typeIndex, false)) {
            // Count the source's strings before the target's old ones go.
            FEmit.MovRegReg(EBX, EAX);
            FEmit.Push(EBX);
            EmitRelease(tcStruct, d.typeIndex, false, 0, RefOp::Count);
            FEmit.MovEbxEsp4();
            EmitRelease(tcStruct, d.typeIndex, false, 0, RefOp::Release);
            FEmit.Pop(EAX);
        }
        FEmit.MovRegReg(EBX, EAX);
        FEmit.Pop(EAX);
        FEmit.BlockCopyToEax(SizeOfType(tcStruct, d.typeIndex));
        return;
    }
    FEmit.Push(EBX);
    if (d.type == tcString && !d.pointer) {
        TValue v = Expression(true);
        if (FError)
            return;
        if (v.kind != VKind::String) {
            Error(TLumoError::StringExpected);
            return;
        }
        AssignStringFromStack(d.disp);
        return;
    }
    TValue v = Expression(false);
    if (FError)
        return;
    const bool isFloat = d.type == tcFloat && !d.pointer;
    if (v.kind == VKind::Struct || (v.kind == VKind::String && !d.pointer && d.type != tcUInt)) {
        Error(TLumoError::WrongType);
        return;
    }
    if (isFloat && v.kind == VKind::Int)
        FEmit.IntToFloat();
    if (!isFloat && v.kind == VKind::Float) {
        if (d.pointer) {
            Error(TLumoError::WrongType);
            return;
        }
        FEmit.FloatToInt();
    }
    FEmit.Pop(EBX);
    FEmit.StoreToEbx(d.pointer ? 4 : static_cast<int>(SizeOfType(d.type, d.typeIndex)), d.disp);
}

void TLumoCompiler::AssignStringFromStack(int32_t disp)
{
    FEmit.Pop(EBX);
    FEmit.Push(EBX);
    FEmit.Push(EAX);
    FEmit.LoadFromEbx(4, false, disp);
    FEmit.MovRegReg(EBX, EAX);
    FEmit.Pop(EAX);
    CallStub(stStrAssign); // counts the new value, releases the old one
    FEmit.Pop(EBX);
    FEmit.StoreToEbx(4, disp);
}

void TLumoCompiler::InheritedCall()
{
    Next();
    int32_t owner = MethodStruct();
    if (owner < 0) {
        Error(TLumoError::OnlyInMethod);
        return;
    }
    const std::vector<int32_t> parents = FTypes[owner].parents;
    if (parents.empty()) {
        Error(TLumoError::NoInheritedCall);
        return;
    }
    std::string name = FNames[FFunction].name;
    int32_t only = -1;
    if (!FText.empty() && (std::isalpha(static_cast<unsigned char>(FText[0])) || FText[0] == '_')) {
        name = FText;
        Next();
        if (Accept(tDot)) {
            only = FindStruct(name);
            if (FText.empty() || !(std::isalpha(static_cast<unsigned char>(FText[0])) || FText[0] == '_')) {
                Error(TLumoError::IdentifierExpected);
                return;
            }
            name = FText;
            Next();
        }
    }
    int32_t method = -1;
    for (int32_t parent : parents) {
        if (only >= 0 && parent != only)
            continue;
        int32_t m = LookupMember(parent, name);
        if (m >= 0 && FNames[m].kind == kFunction) {
            method = m;
            break;
        }
    }
    if (method < 0) {
        Error(TLumoError::NoInheritedCall);
        return;
    }
    VariableAddress(FNames[Lookup("this")]);
    FEmit.MovEbxDerefEbx();
    MethodCall(method);
}

void TLumoCompiler::Condition()
{
    if (!Expect(tLParen, TLumoError::OpenParenExpected))
        return;
    if (FToken != tRParen) {
        TValue v = Expression(false);
        if (!FError && v.kind == VKind::String)
            Error(TLumoError::WrongType);
    } else {
        FEmit.MovEaxImm(1); // an empty condition holds
    }
    if (!FError)
        Expect(tRParen, TLumoError::CloseParenExpected);
}

void TLumoCompiler::IfStatement()
{
    Next();
    Condition();
    if (FError)
        return;
    std::string elseLabel = NewLabel();
    FEmit.TestEaxJz(elseLabel);
    if (FToken == tLBrace) {
        Block();
    } else {
        Body();
    }
    if (!FError && FToken == tElse) {
        Next();
        std::string endLabel = NewLabel();
        FEmit.Jmp(endLabel);
        FImage.DefineLabel(elseLabel);
        Statement(true);
        FImage.DefineLabel(endLabel);
    } else {
        FImage.DefineLabel(elseLabel);
    }
}

void TLumoCompiler::WhileStatement()
{
    Next();
    std::string breakLabel = NewLabel(), continueLabel = NewLabel();
    EnterLevel(breakLabel, continueLabel);
    std::string top = NewLabel();
    FImage.DefineLabel(top);
    FImage.DefineLabel(continueLabel);
    Condition();
    std::string exitLabel = NewLabel();
    FEmit.TestEaxJz(exitLabel);
    Body();
    FEmit.Jmp(top);
    FImage.DefineLabel(exitLabel);
    FImage.DefineLabel(breakLabel);
    LeaveLevel();
}

void TLumoCompiler::DoStatement()
{
    Next();
    std::string breakLabel = NewLabel(), continueLabel = NewLabel();
    EnterLevel(breakLabel, continueLabel);
    std::string top = NewLabel();
    FImage.DefineLabel(top);
    Statement(false);
    if (!FError && !Accept(tWhile))
        Error(TLumoError::WhileExpected);
    FImage.DefineLabel(continueLabel);
    Condition();
    std::string exitLabel = NewLabel();
    FEmit.TestEaxJz(exitLabel);
    FEmit.Jmp(top);
    FImage.DefineLabel(exitLabel);
    FImage.DefineLabel(breakLabel);
    if (!FError && !Accept(tSemicolon))
        Error(TLumoError::SemicolonExpected);
    LeaveLevel();
}

void TLumoCompiler::ForStatement()
{
    Next();
    if (!Expect(tLParen, TLumoError::OpenParenExpected))
        return;
    std::string breakLabel = NewLabel(), continueLabel = NewLabel();
    EnterLevel(breakLabel, continueLabel);
    while (!FError && FToken != tSemicolon) {
        Statement(false);
        if (!Accept(tComma))
            break;
    }
    if (!FError)
        Expect(tSemicolon, TLumoError::SemicolonExpected);
    std::string cond = NewLabel();
    FImage.DefineLabel(cond);
    if (FToken != tSemicolon) {
        Expression(false);
    } else {
        FEmit.MovEaxImm(1); // an empty condition holds
    }
    if (!FError)
        Expect(tSemicolon, TLumoError::SemicolonExpected);
    std::string exitLabel = NewLabel(), body = NewLabel(), step = NewLabel(), back = NewLabel();
    FEmit.TestEaxJz(exitLabel);
    FEmit.Jmp(body);
    FImage.DefineLabel(step);
    FImage.DefineLabel(continueLabel);
    while (!FError && FToken != tRParen) {
        Statement(false);
        if (!Accept(tComma))
            break;
    }
    if (!FError)
        Expect(tRParen, TLumoError::CloseParenExpected);
    FEmit.Jmp(back);
    FImage.DefineLabel(body);
    Body();
    FEmit.Jmp(step);
    FImage.DefineLabel(back);
    FEmit.Jmp(cond);
    FImage.DefineLabel(exitLabel);
    FImage.DefineLabel(breakLabel);
    LeaveLevel();
}

void TLumoCompiler::SwitchStatement()
{
    Next();
    if (!Expect(tLParen, TLumoError::OpenParenExpected))
        return;
    Expression(false);
    if (FError || !Expect(tRParen, TLumoError::CloseParenExpected))
        return;
    std::string end = NewLabel();
    EnterLevel(end, "C_exit");
    ++FSwitchDepth;
    FEmit.Push(ESI);
    FEmit.MovRegReg(ESI, EAX);
    if (Expect(tLBrace, TLumoError::OpenBraceExpected) && FToken != tCase && FToken != tDefault)
        Error(TLumoError::CaseExpected);
    std::string pending = NewLabel();
    while (!FError && (FToken == tCase || FToken == tDefault)) {
        bool isDefault = FToken == tDefault;
        Next();
        std::string body = pending;
        pending = NewLabel();
        FContinueLabels.back() = pending;
        std::string skip;
        if (!isDefault) {
            FEmit.Push(ESI);
            Expression(false);
            FEmit.Pop(ESI);
            FEmit.MovRegReg(EBX, ESI);
            FEmit.CompareSet(Cond::Equal);
            skip = NewLabel();
            FEmit.TestEaxJz(skip);
        }
        FImage.DefineLabel(body);
        if (FError || !Expect(tColon, TLumoError::ColonExpected))
            break;
        while (!FError && !AtEnd() && FToken != tRBrace && (isDefault || (FToken != tCase && FToken != tDefault)))
            Statement(true);
        FEmit.Jmp(pending);
        if (!skip.empty())
            FImage.DefineLabel(skip);
        if (isDefault)
            break; // "default" is the last clause
    }
    if (!FError)
        Expect(tRBrace, TLumoError::CloseBraceExpected);
    FImage.DefineLabel(pending);
    FImage.DefineLabel(end);
    FEmit.Pop(ESI);
    --FSwitchDepth;
    LeaveLevel();
}

void TLumoCompiler::ReturnStatement()
{
    Next();
    if ((FToken == tSemicolon || FToken == tRBrace) && InFunction() && OwnsResult(FNames[FFunction])) {
        FEmit.XorReg(EAX);
    } else if (FToken != tSemicolon && FToken != tRBrace) {
        if (!InFunction()) {
            Expression(false);
        } else {
            const TNameEntry f = FNames[FFunction];
            if (f.type == tcString && !f.pointer) {
                TValue v = Expression(true);
                if (!FError && v.kind != VKind::String)
                    Error(TLumoError::StringExpected);
                FEmit.StringUp(); // the caller receives one count
            } else if (f.type == tcStruct && !f.pointer) {
                StructExpression(f.typeIndex);
                if (FError)
                    return;
                uint32_t size = SizeOfType(tcStruct, f.typeIndex);
                FEmit.MovRegReg(EBX, EAX);
                if (size == 1 || size == 2 || size == 4) {
                    FEmit.LoadFromEbx(static_cast<int>(size), false, 0);
                } else {
                    if (NeedsRelease(tcStruct, f.typeIndex, false))
                        EmitRelease(tcStruct, f.typeIndex, false, 0, RefOp::Count);
                    FEmit.Push(EBX);
                    int32_t fr = Lookup("?FR!");
                    VariableAddress(FNames[fr]);
                    FEmit.LoadFromEbx(4, false, 0);
                    FEmit.Pop(EBX);
                    FEmit.Push(EAX);
                    FEmit.BlockCopyToEax(size);
                    FEmit.Pop(EAX);
                }
            } else {
                TValue v = Expression(false);
                if (FError)
                    return;
                if (f.type == tcFloat && !f.pointer) {
                    if (v.kind == VKind::Int)
                        FEmit.IntToFloat();
                } else if (v.kind == VKind::Float && !f.pointer) {
                    Error(TLumoError::WrongType);
                }
            }
        }
    }
    if (FError)
        return;
    FEmit.Jmp(InFunction() ? "Return" + FNames[FFunction].codeName : FStartExit);
}

void TLumoCompiler::GotoStatement()
{
    Next();
    int32_t entry = FToken == tUserLabel ? Lookup(FText) : -1;
    if (entry < 0) {
        Error(TLumoError::LabelNotFound);
        return;
    }
    int32_t leave = FSwitchDepth - FNames[entry].switchDepth;
    if (leave < 0) {
        Error(TLumoError::LabelNotFound); // a jump into a switch would miss its selector
        return;
    }
    if (leave > 0) {
        // Restore the ESI of the label's level, dropping the selectors pushed since.
        FEmit.LoadEsiFromEsp(4 * (leave - 1));
        FEmit.AddEsp(static_cast<uint32_t>(4 * leave));
    }
    FEmit.Jmp(FNames[entry].codeName);
    Next();
}

void TLumoCompiler::UserLabel()
{
    int32_t existing = Lookup(FText);
    if (existing >= 0) {
        Error(FNames[existing].kind == kLabel ? TLumoError::LabelAlreadyDefined : TLumoError::LabelIsVariable);
        return;
    }
    TNameEntry e;
    e.name = FText;
    e.kind = kLabel;
    e.codeName = FText + "@" + FFunctionName + "UL!";
    e.switchDepth = FSwitchDepth;
    FImage.DefineLabel(e.codeName);
    Insert(std::move(e));
    Next();
}

void TLumoCompiler::PrintStatement()
{
    Next();
    if (!Expect(tLParen, TLumoError::OpenParenExpected))
        return;
    while (!FError) {
        int32_t entry = FToken == tIdent ? Lookup(FText) : -1;
        if (FToken == tIdent && entry < 0) {
            Error(TLumoError::VariableNotDefined);
            return;
        }
        const bool isVar = entry >= 0 && FNames[entry].kind == kVariable;
        const bool isChar = isVar && (FNames[entry].type == tcChar || FNames[entry].type == tcUChar);
        if (FToken == tLiteral || (isVar && FNames[entry].type == tcString && !FNames[entry].pointer)) {
            TValue v = Expression(true);
            if (!FError && v.kind != VKind::String) {
                CallStub(v.kind == VKind::Float ? stPrintFloat : v.isSigned ? stWriteNumSigned : stWriteNumUnsigned);
            } else {
                CallStub(stPrintString);
            }
        } else if (isChar && FNames[entry].pointer) {
            Expression(false);
            CallStub(stPrintPChar);
        } else if (isChar) {
            TValue v = Expression(false);
            CallStub(v.kind == VKind::Int ? stPrintChar : stPrintFloat);
        } else {
            TValue v = Expression(false);
            if (FError)
                return;
            switch (v.kind) {
            case VKind::String: CallStub(stPrintString); break;
            case VKind::Float: CallStub(stPrintFloat); break;
            case VKind::Struct: Error(TLumoError::IllegalStructOperation); return;
            default: CallStub(v.isSigned ? stWriteNumSigned : stWriteNumUnsigned); break;
            }
        }
        if (!Accept(tComma))
            break;
    }
    if (!FError)
        Expect(tRParen, TLumoError::CloseParenExpected);
}

void TLumoCompiler::SizeofFactor()
{
    Next();
    if (!Expect(tLParen, TLumoError::OpenParenExpected))
        return;
    bool star = false, amp = false;
    while (FToken == tStar || FToken == tAmp) {
        (FToken == tStar ? star : amp) = true;
        Next();
    }
    while (FToken == tUnsigned || FToken == tSigned)
        Next();
    uint32_t size = 0;
    switch (FToken) {
    case tIntWord:
    case tVoid:
    case tFloatWord:
    case tString: size = 4; break;
    case tShortint: size = 2; break;
    case tChar:
    case tByte: size = 1; break;
    case tIdent: {
        int32_t type = FindStruct(FText);
        if (type >= 0) {
            size = FTypes[type].size;
            break;
        }
        int32_t entry = Lookup(FText);
        if (entry < 0 || FNames[entry].kind != kVariable) {
            Error(TLumoError::VariableNotDefined);
            return;
        }
        const TNameEntry& e = FNames[entry];
        uint32_t count = e.array ? e.arrayLength : 1;
        size = e.pointer && !star && !e.array ? 4 : SizeOfType(e.type, e.typeIndex) * count;
        if (e.pointer && e.array && !star)
            size = 4 * count;
        break;
    }
    default: Error(TLumoError::IdentifierExpected); return;
    }
    Next();
    if (amp)
        size = 4;
    FEmit.MovEaxImm(size);
    Expect(tRParen, TLumoError::CloseParenExpected);
}

void TLumoCompiler::OutputBlockStatement()
{
    Next();
    if (!Expect(tLParen, TLumoError::OpenParenExpected))
        return;
    Expression(false);
    if (FError || !Expect(tRParen, TLumoError::CloseParenExpected))
        return;
    CallStub(stOutputBlock);
}

} // namespace kolvarin::script
