// Expressions: integer, float, string and structure values into EAX.
#include <cstring>

#include "script/lumocompiler.h"
#include "script/lumoscript.h"

namespace kolvarin::script {

namespace {

bool IsSignedType(uint8_t type) { return type == tcByte || type == tcChar || type == tcShort || type == tcInt; }

bool IsComparison(uint8_t token)
{
    return token == tEq || token == tNe || token == tBangEq || token == tLt || token == tLe || token == tGt ||
           token == tGe;
}

Cond CondOf(uint8_t token)
{
    switch (token) {
    case tEq: return Cond::Equal;
    case tLt: return Cond::Less;
    case tLe: return Cond::LessEqual;
    case tGt: return Cond::Greater;
    case tGe: return Cond::GreaterEqual;
    default: return Cond::NotEqual;
    }
}

bool IsMultiplicative(uint8_t token)
{
    return token == tStar || token == tSlash || token == tPercent || token == tAmp || token == tBar ||
           token == tCaret || token == tShl || token == tShr;
}

uint32_t RoundUp4(uint32_t n) { return (n + 3) & ~3u; }

} // namespace

TValue TLumoCompiler::Expression(bool stringContext)
{
    if (nesting_ >= kMaxNesting) {
        Error(TLumoError::ExpressionError); // nesting this deep is no expression a script needs
        return {};
    }
    ++nesting_;
    bool saved = stringContext_;
    const bool savedFloat = floatExpression_;
    stringContext_ = stringContext;
    floatExpression_ = false;
    TValue left = Additive();
    if (!error_ && IsComparison(token_)) {
        uint8_t op = token_;
        Next();
        emit_.Push(EAX);
        if (left.kind == VKind::String)
            stringContext_ = true;
        TValue right = Additive();
        if (error_) {
        } else if (left.kind == VKind::String || right.kind == VKind::String) {
            if (left.kind != right.kind) {
                Error(TLumoError::StringExpected);
            } else {
                emit_.MovRegReg(EBX, EAX);
                emit_.Pop(EAX);
                MarkStub(stStrCompare);
                emit_.StringCompareSet(CondOf(op));
            }
        } else if (left.kind == VKind::Struct || right.kind == VKind::Struct) {
            Error(TLumoError::IllegalStructOperation);
        } else if (left.kind == VKind::Float || right.kind == VKind::Float) {
            if (right.kind == VKind::Int)
                emit_.IntToFloat();
            if (left.kind == VKind::Int)
                ConvertPushedLeftToFloat();
            if (op == tEq || op == tNe || op == tBangEq) {
                emit_.MovRegReg(EBX, EAX);
                emit_.Pop(EAX);
                emit_.CompareSet(CondOf(op));
            } else {
                emit_.Pop(EBX);
                emit_.XchgEaxEbx();
                emit_.EaxToSt0();
                emit_.Push(EBX);
                emit_.FloatCompareSet(CondOf(op));
                emit_.Pop(EBX);
                emit_.Wait();
            }
            floatExpression_ = false; // the result is the integer 0 or 1
        } else {
            emit_.MovRegReg(EBX, EAX);
            emit_.Pop(EAX);
            emit_.CompareSet(CondOf(op));
        }
        left = TValue{};
    }
    if (!error_ && token_ == tQuestion) {
        Next();
        std::string elseLabel = NewLabel(), endLabel = NewLabel();
        emit_.TestEaxJz(elseLabel);
        TValue first = Expression(stringContext_);
        emit_.Jmp(endLabel);
        if (!error_ && Expect(tColon, TLumoError::ColonExpected)) {
            image_.DefineLabel(elseLabel);
            TValue second = Expression(stringContext_ || first.kind == VKind::String);
            if (!error_ && first.kind != second.kind)
                Error(TLumoError::WrongType);
            image_.DefineLabel(endLabel);
        }
        left = first;
    }
    stringContext_ = saved;
    floatExpression_ = savedFloat;
    --nesting_;
    return left;
}

TValue TLumoCompiler::Additive()
{
    TValue value;
    if (token_ == tPlus || token_ == tMinus) {
        bool negative = token_ == tMinus;
        Next();
        emit_.XorReg(EAX); // 0 and 0.0 share one bit pattern
        emit_.Push(EAX);
        TValue first = Term();
        if (error_)
            return first;
        if (first.kind == VKind::String) {
            Error(TLumoError::IllegalStringOperation);
            return first;
        }
        if (first.kind == VKind::Struct) {
            Error(TLumoError::IllegalStructOperation);
            return first;
        }
        value = BinaryOp(negative ? tMinus : tPlus, TValue{VKind::Int, false, -1}, first);
        if (negative)
            value.isSigned = true;
    } else {
        value = Term();
    }
    while (!error_ && (token_ == tPlus || token_ == tMinus)) {
        uint8_t op = token_;
        Next();
        emit_.Push(EAX);
        bool saved = stringContext_;
        if (value.kind == VKind::String)
            stringContext_ = true;
        TValue right = Term();
        stringContext_ = saved;
        if (error_)
            break;
        value = BinaryOp(op, value, right);
    }
    return value;
}

TValue TLumoCompiler::Term()
{
    TValue value = Factor();
    while (!error_ && IsMultiplicative(token_)) {
        uint8_t op = token_;
        Next();
        emit_.Push(EAX);
        TValue right = Factor();
        if (error_)
            break;
        value = BinaryOp(op, value, right);
    }
    return value;
}

void TLumoCompiler::ConvertPushedLeftToFloat()
{
    emit_.Pop(EBX);
    emit_.XchgEaxEbx();
    emit_.IntToFloat();
    emit_.XchgEaxEbx();
    emit_.Push(EBX);
}

TValue TLumoCompiler::BinaryOp(uint8_t op, TValue left, TValue right)
{
    if (left.kind == VKind::String || right.kind == VKind::String) {
        if (op != tPlus) {
            Error(TLumoError::IllegalStringOperation);
        } else if (left.kind != right.kind) {
            Error(TLumoError::StringExpected);
        } else {
            emit_.Pop(EBX);
            emit_.Push(ECX);
            emit_.XorReg(ECX);
            CallStub(stStrConcat);
            emit_.Pop(ECX);
            OwnedStringResult();
        }
        return TValue{VKind::String, false, -1};
    }
    if (left.kind == VKind::Struct || right.kind == VKind::Struct) {
        Error(TLumoError::IllegalStructOperation);
        return left;
    }
    if (left.kind == VKind::Float || right.kind == VKind::Float) {
        if (right.kind == VKind::Int)
            emit_.IntToFloat();
        if (left.kind == VKind::Int)
            ConvertPushedLeftToFloat();
        switch (op) {
        case tPlus: emit_.FloatBinary(FloatOp::Add); break;
        case tMinus: emit_.FloatBinary(FloatOp::Sub); break;
        case tStar: emit_.FloatBinary(FloatOp::Mul); break;
        case tSlash: emit_.FloatBinary(FloatOp::Div); break;
        default: Error(TLumoError::InvalidFloatOperation); break;
        }
        return TValue{VKind::Float, true, -1};
    }
    bool isSigned = left.isSigned || right.isSigned;
    switch (op) {
    case tPlus:
        emit_.Pop(EBX);
        emit_.Arith(ArithOp::Add);
        break;
    case tStar:
        emit_.Pop(EBX);
        emit_.Multiply(isSigned);
        break;
    default:
        emit_.MovRegReg(EBX, EAX);
        emit_.Pop(EAX);
        switch (op) {
        case tMinus: emit_.Arith(ArithOp::Sub); break;
        case tSlash: emit_.Divide(isSigned); break;
        case tPercent: emit_.Remainder(isSigned); break;
        case tAmp: emit_.Arith(ArithOp::And); break;
        case tBar: emit_.Arith(ArithOp::Or); break;
        case tCaret: emit_.Arith(ArithOp::Xor); break;
        case tShl: emit_.ShiftLeft(); break;
        case tShr: emit_.ShiftRight(); break;
        default: break;
        }
    }
    return TValue{VKind::Int, isSigned, -1};
}

TValue TLumoCompiler::Factor()
{
    TValue v = PlainFactor();
    if (error_)
        return v;
    if (v.kind == VKind::Float) {
        floatExpression_ = true;
    } else if (v.kind == VKind::Int && floatExpression_) {
        emit_.IntToFloat();
        v = TValue{VKind::Float, true, -1};
    }
    return v;
}

TValue TLumoCompiler::PlainFactor()
{
    switch (token_) {
    case tInc:
    case tDec: {
        bool increment = token_ == tInc;
        Next();
        TDesignator d;
        if (!PrefixedVariable(d))
            return {};
        if (d.charValue || d.isArray || (!d.pointer && (d.type == tcString || d.type == tcStruct))) {
            Error(d.type == tcString ? TLumoError::IllegalStringOperation : TLumoError::IllegalStructOperation);
            return {};
        }
        if (d.type == tcFloat && !d.pointer) {
            emit_.LoadFromEbx(4, false, d.disp);
            emit_.FloatStep(increment);
            emit_.StoreToEbx(4, d.disp);
        } else {
            emit_.IncDecAtEbx(d.pointer ? 4 : static_cast<int>(SizeOfType(d.type, -1)), increment, d.disp);
        }
        return LoadDesignator(d);
    }
    case tStar: {
        Next();
        TDesignator d;
        if (!PrefixedVariable(d))
            return {};
        if (!d.pointer || d.isArray) {
            Error(TLumoError::WrongType);
            return {};
        }
        FlushDisp(d);
        emit_.MovEbxDerefEbx();
        d.pointer = false;
        return LoadDesignator(d);
    }
    case tAmp: {
        Next();
        if (token_ == tFunction) {
            int32_t fn = Lookup(text_);
            emit_.MovEaxAddress(names_[fn].codeName, 0);
            Next();
            return {};
        }
        TDesignator d;
        if (!PrefixedVariable(d))
            return {};
        if (d.charValue) {
            Error(TLumoError::IllegalStringOperation);
            return {};
        }
        FlushDisp(d);
        emit_.MovRegReg(EAX, EBX);
        return {};
    }
    case tBang:
    case tTilde: {
        bool logical = token_ == tBang;
        Next();
        if (++nesting_ > kMaxNesting) {
            Error(TLumoError::ExpressionError);
            return {};
        }
        TValue v = PlainFactor();
        --nesting_;
        if (error_)
            return v;
        if (v.kind != VKind::Int) {
            Error(TLumoError::WrongType);
            return v;
        }
        if (!logical) {
            emit_.BitNot();
            return TValue{VKind::Int, true, -1};
        }
        std::string zero = NewLabel(), end = NewLabel();
        emit_.LogicalNot(zero, end);
        return {};
    }
    case tSizeof: SizeofFactor(); return {};
    case tLParen: {
        Next();
        TValue v = Expression(stringContext_);
        if (!error_)
            Expect(tRParen, TLumoError::CloseParenExpected);
        return v;
    }
    case tInt: {
        emit_.MovEaxImm(static_cast<uint32_t>(number_));
        bool negative = number_ < 0;
        Next();
        return TValue{VKind::Int, negative, -1};
    }
    case tFloat: {
        uint32_t bits;
        std::memcpy(&bits, &float_, 4);
        emit_.MovEaxImm(bits);
        Next();
        return TValue{VKind::Float, true, -1};
    }
    case tConstant:
    case tEnumValue: {
        int32_t entry = Lookup(text_);
        if (entry < 0) {
            Error(TLumoError::VariableNotDefined);
            return {};
        }
        emit_.MovEaxImm(static_cast<uint32_t>(names_[entry].value));
        Next();
        return TValue{VKind::Int, true, -1};
    }
    case tLiteral: {
        if (stringContext_)
            return StringLiteral();
        uint32_t value = 0;
        for (size_t i = 0; i < literal_.size() && i < 4; ++i)
            value |= static_cast<uint32_t>(static_cast<uint8_t>(literal_[i])) << (8 * i);
        emit_.MovEaxImm(value);
        Next();
        return {};
    }
    case tIdent: return NameFactor();
    case tFunction: {
        int32_t fn = Lookup(text_);
        Next();
        return Call(fn);
    }
    default: Error(TLumoError::ExpressionError); return {};
    }
}

bool TLumoCompiler::PrefixedVariable(TDesignator& d)
{
    bool viaThis = false;
    int32_t entry = token_ == tIdent ? LookupName(text_, viaThis) : -1;
    if (entry < 0 || names_[entry].kind != kVariable) {
        Error(TLumoError::VariableNotDefined);
        return false;
    }
    Next();
    if (!Designator(entry, d, viaThis))
        return false;
    if (d.called) {
        Error(TLumoError::WrongType);
        return false;
    }
    return true;
}

TValue TLumoCompiler::NameFactor()
{
    bool viaThis;
    int32_t entry = LookupName(text_, viaThis);
    if (entry < 0 || (names_[entry].kind != kVariable && !viaThis)) {
        Error(TLumoError::VariableNotDefined);
        return {};
    }
    Next();
    TDesignator d;
    if (!Designator(entry, d, viaThis))
        return {};
    if (d.charValue && stringContext_) {
        CallStub(stStrCharConvert);
        OwnedStringResult();
        return TValue{VKind::String, false, -1};
    }
    return LoadDesignator(d);
}

void TLumoCompiler::VariableAddress(const TNameEntry& e)
{
    switch (e.storage) {
    case sLocal: emit_.LeaEbp(EBX, -e.offset); break;
    case sParam:
    case sHidden: emit_.LeaEbp(EBX, e.offset); break;
    default: emit_.MovEbxAddress(e.codeName, 0); break;
    }
}

void TLumoCompiler::FlushDisp(TDesignator& d)
{
    if (d.disp)
        emit_.AddEbxImm(d.disp);
    d.disp = 0;
}

// Stores the object address in EBX in a temporary and calls METHOD on it.
TValue TLumoCompiler::MethodCall(int32_t method)
{
    int32_t object = Temporary(tcStruct, names_[method].owningStruct, "obj", true);
    emit_.MovRegReg(EAX, EBX);
    VariableAddress(names_[object]);
    emit_.StoreToEbx(4, 0);
    return Call(method, object);
}

bool TLumoCompiler::Designator(int32_t entry, TDesignator& d, bool viaThis)
{
    d = TDesignator{};
    if (viaThis) {
        // A member of the method's own structure, reached through "this".
        VariableAddress(names_[Lookup("this")]);
        emit_.MovEbxDerefEbx();
        if (names_[entry].kind == kFunction) {
            d.result = MethodCall(entry);
            d.called = true;
            return !error_;
        }
        d.disp = static_cast<int32_t>(names_[entry].memberOffset);
    } else {
        VariableAddress(names_[entry]);
    }
    const TNameEntry& e = names_[entry];
    d.type = e.type;
    d.typeIndex = e.typeIndex;
    d.pointer = e.pointer;
    d.isArray = e.array;
    while (!error_) {
        if (token_ == tLBracket) {
            Next();
            uint32_t elementSize;
            if (d.isArray) {
                elementSize = d.pointer ? 4 : SizeOfType(d.type, d.typeIndex);
            } else if (d.pointer) {
                FlushDisp(d);
                emit_.MovEbxDerefEbx();
                d.pointer = false;
                elementSize = SizeOfType(d.type, d.typeIndex);
            } else if (d.type == tcString) {
                FlushDisp(d);
                emit_.LoadFromEbx(4, false, 0);
                emit_.Push(EAX);
                TValue index = Expression(false);
                if (!error_ && index.kind != VKind::Int)
                    Error(TLumoError::WrongType);
                emit_.MovRegReg(EBX, EAX);
                emit_.Pop(EAX);
                emit_.Push(EAX);
                emit_.Push(EBX);
                emit_.CallNative("charat");
                if (!error_)
                    Expect(tRBracket, TLumoError::CloseBracketExpected);
                d.charValue = true;
                return !error_;
            } else {
                Error(TLumoError::NotAnArray);
                return false;
            }
            FlushDisp(d);
            emit_.Push(EAX);
            emit_.Push(EBX);
            emit_.Push(ECX);
            TValue index = Expression(false);
            if (!error_ && index.kind != VKind::Int)
                Error(TLumoError::WrongType);
            emit_.Pop(ECX);
            emit_.Pop(EBX);
            emit_.MulEaxConst(static_cast<int32_t>(elementSize));
            emit_.AddEbxEax();
            emit_.Pop(EAX);
            if (!error_)
                Expect(tRBracket, TLumoError::CloseBracketExpected);
            d.isArray = false;
        } else if (token_ == tDot || token_ == tArrow) {
            bool arrow = token_ == tArrow;
            if (d.type != tcStruct || d.isArray || d.pointer != arrow) {
                Error(TLumoError::NoStruct);
                return false;
            }
            Next();
            int32_t member = LookupMember(d.typeIndex, text_);
            if (member < 0) {
                Error(TLumoError::VariableNotDefined);
                return false;
            }
            if (arrow) {
                FlushDisp(d);
                emit_.MovEbxDerefEbx();
            }
            if (names_[member].kind == kFunction) {
                FlushDisp(d);
                Next();
                d.result = MethodCall(member);
                d.called = true;
                return !error_;
            }
            const TNameEntry& m = names_[member];
            d.disp += static_cast<int32_t>(m.memberOffset);
            d.type = m.type;
            d.typeIndex = m.typeIndex;
            d.pointer = m.pointer;
            d.isArray = m.array;
            Next();
        } else {
            break;
        }
    }
    return !error_;
}

TValue TLumoCompiler::LoadDesignator(const TDesignator& dc)
{
    TDesignator d = dc;
    if (d.called)
        return d.result;
    if (d.charValue)
        return {};
    if (d.isArray) {
        FlushDisp(d);
        emit_.MovRegReg(EAX, EBX);
        return {};
    }
    if (d.type == tcStruct && !d.pointer) {
        FlushDisp(d);
        emit_.MovRegReg(EAX, EBX);
        return TValue{VKind::Struct, false, d.typeIndex};
    }
    int size = d.pointer ? 4 : static_cast<int>(SizeOfType(d.type, -1));
    bool isSigned = !d.pointer && IsSignedType(d.type);
    emit_.LoadFromEbx(size, isSigned, d.disp);
    if (d.pointer)
        return {};
    if (d.type == tcFloat)
        return TValue{VKind::Float, true, -1};
    if (d.type == tcString)
        return TValue{VKind::String, false, -1};
    return TValue{VKind::Int, isSigned, -1};
}

void TLumoCompiler::StoreOwnedString(int32_t temp)
{
    emit_.Push(EAX);
    VariableAddress(names_[temp]);
    emit_.LoadFromEbx(4, false, 0);
    emit_.StringDown();
    emit_.Pop(EAX);
    emit_.StoreToEbx(4, 0);
}

void TLumoCompiler::OwnedStringResult() { StoreOwnedString(Temporary(tcString, -1, "0")); }

TValue TLumoCompiler::StringLiteral()
{
    if (literal_.empty()) {
        emit_.XorReg(EAX);
    } else {
        // A constant string block (count -1) inline in the code, jumped over.
        std::string text = NewLabel(), skip = NewLabel();
        emit_.Jmp(skip);
        image_.DWord(0xFFFFFFFFu);
        image_.DWord(static_cast<uint32_t>(literal_.size()));
        image_.DefineLabel(text);
        for (char c : literal_)
            image_.Byte(static_cast<uint8_t>(c));
        image_.Byte(0);
        image_.DefineLabel(skip);
        emit_.MovEaxAddress(text, 0);
    }
    Next();
    return TValue{VKind::String, false, -1};
}

TValue TLumoCompiler::StructExpression(int32_t typeIndex)
{
    TValue v;
    switch (token_) {
    case tIdent: v = NameFactor(); break;
    case tFunction: {
        int32_t fn = Lookup(text_);
        Next();
        v = Call(fn);
        break;
    }
    case tInt:
    case tFloat:
    case tConstant:
    case tEnumValue: Error(TLumoError::StructExpected); return v;
    case tAmp:
    case tBang:
    case tLParen:
    case tLiteral: Error(TLumoError::IllegalStructOperation); return v;
    default: Error(TLumoError::ExpressionError); return v;
    }
    if (error_)
        return v;
    if (v.kind != VKind::Struct) {
        Error(TLumoError::StructExpected);
    } else if (v.typeIndex != typeIndex) {
        Error(TLumoError::WrongType);
    }
    return v;
}

void TLumoCompiler::PlaceArgument(const TCallSite& site, int32_t param)
{
    if (site.stdcall) {
        emit_.StoreToEsp(4, names_[param].offset - 8);
    } else {
        emit_.Push(EAX);
    }
}

bool TLumoCompiler::Argument(TCallSite& site, int32_t param, size_t index)
{
    const uint8_t type = names_[param].type;
    const bool pointer = names_[param].pointer;
    const int32_t typeIndex = names_[param].typeIndex;
    if (token_ == tComma || token_ == tRParen) {
        emit_.XorReg(EAX); // an empty argument passes 0
    } else if (type == tcString && !pointer) {
        TValue v = Expression(true);
        if (error_)
            return false;
        if (v.kind != VKind::String) {
            Error(TLumoError::StringExpected);
            return false;
        }
        // A script function's parameter owns this count; a native borrows the
        // string, and the count is dropped after the call.
        emit_.StringUp();
        if (site.borrows) {
            int32_t temp = Temporary(tcString, -1, std::to_string(index));
            site.argTemps.push_back(temp);
            VariableAddress(names_[temp]);
            emit_.StoreToEbx(4, 0);
        }
    } else if (type == tcStruct && !pointer) {
        StructExpression(typeIndex);
        if (error_)
            return false;
        if (site.stdcall) {
            Error(TLumoError::WrongType);
            return false;
        }
        emit_.MovRegReg(EBX, EAX);
        uint32_t size = SizeOfType(tcStruct, typeIndex);
        emit_.BlockCopyToStack(size, RoundUp4(size));
        if (!site.borrows && NeedsRelease(tcStruct, typeIndex, false)) {
            emit_.MovRegReg(EBX, ESP);
            EmitRelease(tcStruct, typeIndex, false, 0, RefOp::Count);
        }
        return true; // already on the stack
    } else {
        TValue v = Expression(false);
        if (error_)
            return false;
        if (type == tcFloat && !pointer) {
            if (v.kind == VKind::Int)
                emit_.IntToFloat();
            else if (v.kind != VKind::Float)
                Error(TLumoError::WrongType);
        } else if (v.kind == VKind::Float && !pointer) {
            Error(TLumoError::WrongType);
        }
        if (error_)
            return false;
    }
    PlaceArgument(site, param);
    return true;
}

void TLumoCompiler::HiddenArguments(TCallSite& site, int32_t object)
{
    for (int32_t p : names_[site.fn].params) {
        if (names_[p].storage != sHidden)
            continue;
        if (names_[p].name == "this") {
            VariableAddress(names_[object]);
            emit_.LoadFromEbx(4, false, 0);
        } else {
            // "?FR!": a temporary receives the structure result.
            site.resultTemp = Temporary(tcStruct, names_[p].typeIndex, "fr");
            VariableAddress(names_[site.resultTemp]);
            EmitRelease(tcStruct, names_[p].typeIndex, false, 0, RefOp::ReleaseAndClear);
            emit_.MovRegReg(EAX, EBX);
        }
        PlaceArgument(site, p);
    }
}

TValue TLumoCompiler::Call(int32_t fn, int32_t object)
{
    if (fn < 0) {
        Error(TLumoError::VariableNotDefined);
        return {};
    }
    if (!Expect(tLParen, TLumoError::OpenParenExpected))
        return {};
    TCallSite site;
    site.fn = fn;
    site.stdcall = names_[fn].isStdcall;
    site.borrows = names_[fn].isNative || names_[fn].isImport;
    std::vector<int32_t> declared;
    for (int32_t p : names_[fn].params)
        if (names_[p].storage == sParam)
            declared.push_back(p);
    if (site.stdcall && names_[fn].paramSize)
        emit_.SubEsp(names_[fn].paramSize);
    size_t count = 0;
    if (token_ != tRParen) {
        while (!error_) {
            if (count >= declared.size()) {
                Error(TLumoError::ArgumentCount);
                return {};
            }
            if (!Argument(site, declared[count], count))
                return {};
            ++count;
            if (Accept(tComma))
                continue;
            if (token_ != tRParen)
                Error(TLumoError::ArgumentList);
            break;
        }
    }
    if (error_)
        return {};
    if (count != declared.size()) {
        Error(TLumoError::ArgumentCount);
        return {};
    }
    Expect(tRParen, TLumoError::CloseParenExpected);
    HiddenArguments(site, object);
    return CallAndResult(site);
}

TValue TLumoCompiler::CallAndResult(const TCallSite& site)
{
    const TNameEntry& f = names_[site.fn];
    if (f.isNative) {
        emit_.CallNative(f.name);
    } else if (f.isImport) {
        emit_.CallImport(f.name);
    } else {
        emit_.CallLabel(f.codeName);
    }
    const uint8_t type = f.type;
    const bool pointer = f.pointer;
    const int32_t typeIndex = f.typeIndex;
    if (type == tcFloat && !pointer)
        emit_.St0ToEax();
    if (!site.argTemps.empty()) {
        emit_.Push(EAX);
        for (int32_t temp : site.argTemps) {
            VariableAddress(names_[temp]);
            emit_.LoadFromEbx(4, false, 0);
            emit_.StringDown();
            emit_.StoreToEbx(4, 0);
        }
        emit_.Pop(EAX);
    }
    if (pointer)
        return {};
    switch (type) {
    case tcFloat: return TValue{VKind::Float, true, -1};
    case tcString: OwnedStringResult(); return TValue{VKind::String, false, -1};
    case tcStruct: {
        int32_t result = site.resultTemp;
        if (result < 0) {
            // A structure of 1, 2 or 4 bytes came back in EAX.
            result = Temporary(tcStruct, typeIndex, "fr");
            VariableAddress(names_[result]);
            emit_.StoreToEbx(static_cast<int>(SizeOfType(tcStruct, typeIndex)), 0);
        } else {
            VariableAddress(names_[result]);
        }
        emit_.MovRegReg(EAX, EBX);
        return TValue{VKind::Struct, false, typeIndex};
    }
    default: return TValue{VKind::Int, IsSignedType(type), -1};
    }
}

} // namespace kolvarin::script
