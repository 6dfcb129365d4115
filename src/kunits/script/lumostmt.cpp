// Statements and control flow.
#include <cctype>

#include "script/lumocompiler.h"
#include "script/lumoscript.h"

namespace kolvarin::script {

void TLumoCompiler::Terminator(bool needed)
{
    if (!needed || error_)
        return;
    if (token_ == tSemicolon) {
        Next();
    } else if (token_ != tRBrace) {
        Error(TLumoError::SemicolonExpected);
    }
}

void TLumoCompiler::EnterLevel(const std::string& breakLabel, const std::string& continueLabel)
{
    breakLabels_.push_back(breakLabel);
    continueLabels_.push_back(continueLabel);
}

void TLumoCompiler::LeaveLevel()
{
    breakLabels_.pop_back();
    continueLabels_.pop_back();
}

void TLumoCompiler::TopLevel()
{
    while (!error_ && !AtEnd()) {
        switch (token_) {
        case tStruct:
        case tPacked:
        case tUnion:
        case tObject: StructDefinition(); break;
        case tEnum: EnumDefinition(); break;
        case tSemicolon: Next(); break;
        default:
            if (IsTypeStart()) {
                Declaration();
                Terminator(!declaredFunction_);
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
    while (!error_ && !AtEnd() && token_ != tRBrace)
        Statement(true);
    if (!error_)
        Expect(tRBrace, TLumoError::CloseBraceExpected);
}

// The body of if, while and for: ";" is empty, "}" leaves it to the block.
void TLumoCompiler::Body()
{
    if (token_ == tSemicolon) {
        Next();
    } else if (token_ != tRBrace) {
        Statement(true);
    }
}

void TLumoCompiler::Statement(bool needsTerminator)
{
    if (error_)
        return;
    if (nesting_ >= kMaxNesting) {
        Error(TLumoError::UnknownStatement); // nesting this deep is no script anyone writes
        return;
    }
    ++nesting_;
    StatementBody(needsTerminator);
    --nesting_;
}

void TLumoCompiler::StatementBody(bool needsTerminator)
{
    if (IsTypeStart()) {
        Declaration();
        Terminator(needsTerminator && !declaredFunction_);
        return;
    }
    switch (token_) {
    case tIdent: {
        bool viaThis;
        int32_t entry = LookupName(text_, viaThis);
        if (entry < 0 || (names_[entry].kind != kVariable && !viaThis)) {
            Error(TLumoError::VariableNotDefined);
            return;
        }
        Next();
        Assignment(entry, false, viaThis);
        break;
    }
    case tFunction: {
        int32_t fn = Lookup(text_);
        Next();
        Call(fn);
        break;
    }
    case tStar: {
        Next();
        int32_t entry = token_ == tIdent ? Lookup(text_) : -1;
        if (entry < 0 || names_[entry].kind != kVariable) {
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
    case tStruct:
    case tPacked:
    case tUnion: StructDefinition(); break;
    case tObject: StructDefinition(); return;
    case tEnum: EnumDefinition(); return;
    case tBreak:
    case tContinue:
        emit_.Jmp(token_ == tBreak ? breakLabels_.back() : continueLabels_.back());
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
        if (engine_.breakpointOption)
            emit_.Int3();
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
        emit_.MovEbxDerefEbx();
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
    switch (token_) {
    case tAssign:
        Next();
        StoreInto(d);
        return;
    case tInc:
    case tDec: {
        bool increment = token_ == tInc;
        Next();
        if (isString || isStruct || d.isArray) {
            Error(isString ? TLumoError::IllegalStringOperation : TLumoError::IllegalStructOperation);
        } else if (isFloat) {
            emit_.LoadFromEbx(4, false, d.disp);
            emit_.FloatStep(increment);
            emit_.StoreToEbx(4, d.disp);
        } else {
            emit_.IncDecAtEbx(size, increment, d.disp);
        }
        return;
    }
    case tQuestion: {
        Next();
        LoadDesignator(d);
        std::string elseLabel = NewLabel(), endLabel = NewLabel();
        emit_.TestEaxJz(elseLabel);
        Statement(false);
        emit_.Jmp(endLabel);
        if (!error_ && Expect(tColon, TLumoError::ColonExpected)) {
            image_.DefineLabel(elseLabel);
            Statement(false);
        }
        image_.DefineLabel(endLabel);
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
    uint8_t op = token_;
    Next();
    if (!Expect(tAssign, TLumoError::AssignmentExpected))
        return;
    if (isStruct || d.isArray) {
        Error(TLumoError::IllegalStructOperation);
        return;
    }
    emit_.Push(EBX);
    TValue old = LoadDesignator(d);
    emit_.Push(EAX);
    TValue right = Expression(isString);
    if (error_)
        return;
    if (isString && op != tPlus) {
        Error(TLumoError::IllegalStringOperation);
        return;
    }
    TValue result = BinaryOp(op, old, right);
    if (error_)
        return;
    if (isString) {
        AssignStringFromStack(d.disp);
        return;
    }
    emit_.Pop(EBX);
    if (isFloat && result.kind == VKind::Int)
        emit_.IntToFloat();
    if (!isFloat && result.kind == VKind::Float)
        emit_.FloatToInt();
    emit_.StoreToEbx(size, d.disp);
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
        emit_.Push(EBX);
        StructExpression(d.typeIndex);
        if (error_)
            return;
        if (NeedsRelease(tcStruct, d.typeIndex, false)) {
            // Count the source's strings before the target's old ones go.
            emit_.MovRegReg(EBX, EAX);
            emit_.Push(EBX);
            EmitRelease(tcStruct, d.typeIndex, false, 0, RefOp::Count);
            emit_.MovEbxEsp4();
            EmitRelease(tcStruct, d.typeIndex, false, 0, RefOp::Release);
            emit_.Pop(EAX);
        }
        emit_.MovRegReg(EBX, EAX);
        emit_.Pop(EAX);
        emit_.BlockCopyToEax(SizeOfType(tcStruct, d.typeIndex));
        return;
    }
    emit_.Push(EBX);
    if (d.type == tcString && !d.pointer) {
        TValue v = Expression(true);
        if (error_)
            return;
        if (v.kind != VKind::String) {
            Error(TLumoError::StringExpected);
            return;
        }
        AssignStringFromStack(d.disp);
        return;
    }
    TValue v = Expression(false);
    if (error_)
        return;
    const bool isFloat = d.type == tcFloat && !d.pointer;
    if (v.kind == VKind::Struct || (v.kind == VKind::String && !d.pointer && d.type != tcUInt)) {
        Error(TLumoError::WrongType);
        return;
    }
    if (isFloat && v.kind == VKind::Int)
        emit_.IntToFloat();
    if (!isFloat && v.kind == VKind::Float) {
        if (d.pointer) {
            Error(TLumoError::WrongType);
            return;
        }
        emit_.FloatToInt();
    }
    emit_.Pop(EBX);
    emit_.StoreToEbx(d.pointer ? 4 : static_cast<int>(SizeOfType(d.type, d.typeIndex)), d.disp);
}

void TLumoCompiler::AssignStringFromStack(int32_t disp)
{
    emit_.Pop(EBX);
    emit_.Push(EBX);
    emit_.Push(EAX);
    emit_.LoadFromEbx(4, false, disp);
    emit_.MovRegReg(EBX, EAX);
    emit_.Pop(EAX);
    CallStub(stStrAssign); // counts the new value, releases the old one
    emit_.Pop(EBX);
    emit_.StoreToEbx(4, disp);
}

void TLumoCompiler::InheritedCall()
{
    Next();
    int32_t owner = MethodStruct();
    if (owner < 0) {
        Error(TLumoError::OnlyInMethod);
        return;
    }
    const std::vector<int32_t> parents = types_[owner].parents;
    if (parents.empty()) {
        Error(TLumoError::NoInheritedCall);
        return;
    }
    std::string name = names_[function_].name;
    int32_t only = -1;
    if (!text_.empty() && (std::isalpha(static_cast<unsigned char>(text_[0])) || text_[0] == '_')) {
        name = text_;
        Next();
        if (Accept(tDot)) {
            only = FindStruct(name);
            if (text_.empty() || !(std::isalpha(static_cast<unsigned char>(text_[0])) || text_[0] == '_')) {
                Error(TLumoError::IdentifierExpected);
                return;
            }
            name = text_;
            Next();
        }
    }
    int32_t method = -1;
    for (int32_t parent : parents) {
        if (only >= 0 && parent != only)
            continue;
        int32_t m = LookupMember(parent, name);
        if (m >= 0 && names_[m].kind == kFunction) {
            method = m;
            break;
        }
    }
    if (method < 0) {
        Error(TLumoError::NoInheritedCall);
        return;
    }
    VariableAddress(names_[Lookup("this")]);
    emit_.MovEbxDerefEbx();
    MethodCall(method);
}

void TLumoCompiler::Condition()
{
    if (!Expect(tLParen, TLumoError::OpenParenExpected))
        return;
    if (token_ != tRParen) {
        TValue v = Expression(false);
        if (!error_ && v.kind == VKind::String)
            Error(TLumoError::WrongType);
    } else {
        emit_.MovEaxImm(1); // an empty condition holds
    }
    if (!error_)
        Expect(tRParen, TLumoError::CloseParenExpected);
}

bool TLumoCompiler::ParenExpression()
{
    if (!Expect(tLParen, TLumoError::OpenParenExpected))
        return false;
    Expression(false);
    return !error_ && Expect(tRParen, TLumoError::CloseParenExpected);
}

void TLumoCompiler::IfStatement()
{
    Next();
    Condition();
    if (error_)
        return;
    std::string elseLabel = NewLabel();
    emit_.TestEaxJz(elseLabel);
    if (token_ == tLBrace) {
        Block();
    } else {
        Body();
    }
    if (!error_ && token_ == tElse) {
        Next();
        std::string endLabel = NewLabel();
        emit_.Jmp(endLabel);
        image_.DefineLabel(elseLabel);
        Statement(true);
        image_.DefineLabel(endLabel);
    } else {
        image_.DefineLabel(elseLabel);
    }
}

void TLumoCompiler::WhileStatement()
{
    Next();
    std::string breakLabel = NewLabel(), continueLabel = NewLabel();
    EnterLevel(breakLabel, continueLabel);
    std::string top = NewLabel();
    image_.DefineLabel(top);
    image_.DefineLabel(continueLabel);
    Condition();
    std::string exitLabel = NewLabel();
    emit_.TestEaxJz(exitLabel);
    Body();
    emit_.Jmp(top);
    image_.DefineLabel(exitLabel);
    image_.DefineLabel(breakLabel);
    LeaveLevel();
}

void TLumoCompiler::DoStatement()
{
    Next();
    std::string breakLabel = NewLabel(), continueLabel = NewLabel();
    EnterLevel(breakLabel, continueLabel);
    std::string top = NewLabel();
    image_.DefineLabel(top);
    Statement(false);
    if (!error_ && !Accept(tWhile))
        Error(TLumoError::WhileExpected);
    image_.DefineLabel(continueLabel);
    Condition();
    std::string exitLabel = NewLabel();
    emit_.TestEaxJz(exitLabel);
    emit_.Jmp(top);
    image_.DefineLabel(exitLabel);
    image_.DefineLabel(breakLabel);
    if (!error_ && !Accept(tSemicolon))
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
    while (!error_ && token_ != tSemicolon) {
        Statement(false);
        if (!Accept(tComma))
            break;
    }
    if (!error_)
        Expect(tSemicolon, TLumoError::SemicolonExpected);
    std::string cond = NewLabel();
    image_.DefineLabel(cond);
    if (token_ != tSemicolon) {
        Expression(false);
    } else {
        emit_.MovEaxImm(1); // an empty condition holds
    }
    if (!error_)
        Expect(tSemicolon, TLumoError::SemicolonExpected);
    std::string exitLabel = NewLabel(), body = NewLabel(), step = NewLabel(), back = NewLabel();
    emit_.TestEaxJz(exitLabel);
    emit_.Jmp(body);
    image_.DefineLabel(step);
    image_.DefineLabel(continueLabel);
    while (!error_ && token_ != tRParen) {
        Statement(false);
        if (!Accept(tComma))
            break;
    }
    if (!error_)
        Expect(tRParen, TLumoError::CloseParenExpected);
    emit_.Jmp(back);
    image_.DefineLabel(body);
    Body();
    emit_.Jmp(step);
    image_.DefineLabel(back);
    emit_.Jmp(cond);
    image_.DefineLabel(exitLabel);
    image_.DefineLabel(breakLabel);
    LeaveLevel();
}

void TLumoCompiler::SwitchStatement()
{
    Next();
    if (!ParenExpression())
        return;
    std::string end = NewLabel();
    EnterLevel(end, "C_exit");
    ++switchDepth_;
    emit_.Push(ESI);
    emit_.MovRegReg(ESI, EAX);
    if (Expect(tLBrace, TLumoError::OpenBraceExpected) && token_ != tCase && token_ != tDefault)
        Error(TLumoError::CaseExpected);
    std::string pending = NewLabel();
    while (!error_ && (token_ == tCase || token_ == tDefault)) {
        bool isDefault = token_ == tDefault;
        Next();
        std::string body = pending;
        pending = NewLabel();
        continueLabels_.back() = pending;
        std::string skip;
        if (!isDefault) {
            emit_.Push(ESI);
            Expression(false);
            emit_.Pop(ESI);
            emit_.MovRegReg(EBX, ESI);
            emit_.CompareSet(Cond::Equal);
            skip = NewLabel();
            emit_.TestEaxJz(skip);
        }
        image_.DefineLabel(body);
        if (error_ || !Expect(tColon, TLumoError::ColonExpected))
            break;
        while (!error_ && !AtEnd() && token_ != tRBrace && (isDefault || (token_ != tCase && token_ != tDefault)))
            Statement(true);
        emit_.Jmp(pending);
        if (!skip.empty())
            image_.DefineLabel(skip);
        if (isDefault)
            break; // "default" is the last clause
    }
    if (!error_)
        Expect(tRBrace, TLumoError::CloseBraceExpected);
    image_.DefineLabel(pending);
    image_.DefineLabel(end);
    emit_.Pop(ESI);
    --switchDepth_;
    LeaveLevel();
}

void TLumoCompiler::ReturnStatement()
{
    Next();
    if ((token_ == tSemicolon || token_ == tRBrace) && InFunction() && OwnsResult(names_[function_])) {
        emit_.XorReg(EAX);
    } else if (token_ != tSemicolon && token_ != tRBrace) {
        if (!InFunction()) {
            Expression(false);
        } else {
            const TNameEntry f = names_[function_];
            if (f.type == tcString && !f.pointer) {
                TValue v = Expression(true);
                if (!error_ && v.kind != VKind::String)
                    Error(TLumoError::StringExpected);
                emit_.StringUp(); // the caller receives one count
            } else if (f.type == tcStruct && !f.pointer) {
                StructExpression(f.typeIndex);
                if (error_)
                    return;
                uint32_t size = SizeOfType(tcStruct, f.typeIndex);
                emit_.MovRegReg(EBX, EAX);
                if (size == 1 || size == 2 || size == 4) {
                    emit_.LoadFromEbx(static_cast<int>(size), false, 0);
                } else {
                    if (NeedsRelease(tcStruct, f.typeIndex, false))
                        EmitRelease(tcStruct, f.typeIndex, false, 0, RefOp::Count);
                    emit_.Push(EBX);
                    int32_t fr = Lookup("?FR!");
                    VariableAddress(names_[fr]);
                    emit_.LoadFromEbx(4, false, 0);
                    emit_.Pop(EBX);
                    emit_.Push(EAX);
                    emit_.BlockCopyToEax(size);
                    emit_.Pop(EAX);
                }
            } else {
                TValue v = Expression(false);
                if (error_)
                    return;
                if (f.type == tcFloat && !f.pointer) {
                    if (v.kind == VKind::Int)
                        emit_.IntToFloat();
                } else if (v.kind == VKind::Float && !f.pointer) {
                    Error(TLumoError::WrongType);
                }
            }
        }
    }
    if (error_)
        return;
    emit_.Jmp(InFunction() ? "Return" + names_[function_].codeName : startExit_);
}

void TLumoCompiler::GotoStatement()
{
    Next();
    int32_t entry = token_ == tUserLabel ? Lookup(text_) : -1;
    if (entry < 0) {
        Error(TLumoError::LabelNotFound);
        return;
    }
    int32_t leave = switchDepth_ - names_[entry].switchDepth;
    if (leave < 0) {
        Error(TLumoError::LabelNotFound); // a jump into a switch would miss its selector
        return;
    }
    if (leave > 0) {
        // Restore the ESI of the label's level, dropping the selectors pushed since.
        emit_.LoadEsiFromEsp(4 * (leave - 1));
        emit_.AddEsp(static_cast<uint32_t>(4 * leave));
    }
    emit_.Jmp(names_[entry].codeName);
    Next();
}

void TLumoCompiler::UserLabel()
{
    int32_t existing = Lookup(text_);
    if (existing >= 0) {
        Error(names_[existing].kind == kLabel ? TLumoError::LabelAlreadyDefined : TLumoError::LabelIsVariable);
        return;
    }
    TNameEntry e;
    e.name = text_;
    e.kind = kLabel;
    e.codeName = text_ + "@" + functionName_ + "UL!";
    e.switchDepth = switchDepth_;
    image_.DefineLabel(e.codeName);
    Insert(std::move(e));
    Next();
}

void TLumoCompiler::PrintStatement()
{
    Next();
    if (!Expect(tLParen, TLumoError::OpenParenExpected))
        return;
    while (!error_) {
        int32_t entry = token_ == tIdent ? Lookup(text_) : -1;
        if (token_ == tIdent && entry < 0) {
            Error(TLumoError::VariableNotDefined);
            return;
        }
        const bool isVar = entry >= 0 && names_[entry].kind == kVariable;
        const bool isChar = isVar && (names_[entry].type == tcChar || names_[entry].type == tcUChar);
        if (token_ == tLiteral || (isVar && names_[entry].type == tcString && !names_[entry].pointer)) {
            TValue v = Expression(true);
            if (!error_ && v.kind != VKind::String) {
                CallStub(v.kind == VKind::Float ? stPrintFloat : v.isSigned ? stWriteNumSigned : stWriteNumUnsigned);
            } else {
                CallStub(stPrintString);
            }
        } else if (isChar && names_[entry].pointer) {
            Expression(false);
            CallStub(stPrintPChar);
        } else if (isChar) {
            TValue v = Expression(false);
            CallStub(v.kind == VKind::Int ? stPrintChar : stPrintFloat);
        } else {
            TValue v = Expression(false);
            if (error_)
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
    if (!error_)
        Expect(tRParen, TLumoError::CloseParenExpected);
}

void TLumoCompiler::SizeofFactor()
{
    Next();
    if (!Expect(tLParen, TLumoError::OpenParenExpected))
        return;
    bool star = false, amp = false;
    while (token_ == tStar || token_ == tAmp) {
        (token_ == tStar ? star : amp) = true;
        Next();
    }
    while (token_ == tUnsigned || token_ == tSigned)
        Next();
    uint32_t size = 0;
    switch (token_) {
    case tIntWord:
    case tVoid:
    case tFloatWord:
    case tString: size = 4; break;
    case tShortint: size = 2; break;
    case tChar:
    case tByte: size = 1; break;
    case tIdent: {
        int32_t type = FindStruct(text_);
        if (type >= 0) {
            size = types_[type].size;
            break;
        }
        int32_t entry = Lookup(text_);
        if (entry < 0 || names_[entry].kind != kVariable) {
            Error(TLumoError::VariableNotDefined);
            return;
        }
        const TNameEntry& e = names_[entry];
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
    emit_.MovEaxImm(size);
    Expect(tRParen, TLumoError::CloseParenExpected);
}

void TLumoCompiler::OutputBlockStatement()
{
    Next();
    if (!ParenExpression())
        return;
    CallStub(stOutputBlock);
}

} // namespace kolvarin::script
