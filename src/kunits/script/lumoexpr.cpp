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
    if (FNesting >= kMaxNesting) {
        Error(TLumoError::ExpressionError); // nesting this deep is no expression a script needs
        return {};
    }
    ++FNesting;
    bool saved = FStringContext;
    const bool savedFloat = FFloatExpression;
    FStringContext = stringContext;
    FFloatExpression = false;
    TValue left = Additive();
    if (!FError && IsComparison(FToken)) {
        uint8_t op = FToken;
        Next();
        FEmit.Push(EAX);
        if (left.kind == VKind::String)
            FStringContext = true;
        TValue right = Additive();
        if (FError) {
        } else if (left.kind == VKind::String || right.kind == VKind::String) {
            if (left.kind != right.kind) {
                Error(TLumoError::StringExpected);
            } else {
                FEmit.MovRegReg(EBX, EAX);
                FEmit.Pop(EAX);
                MarkStub(stStrCompare);
                FEmit.StringCompareSet(CondOf(op));
            }
        } else if (left.kind == VKind::Struct || right.kind == VKind::Struct) {
            Error(TLumoError::IllegalStructOperation);
        } else if (left.kind == VKind::Float || right.kind == VKind::Float) {
            if (right.kind == VKind::Int)
                FEmit.IntToFloat();
            if (left.kind == VKind::Int)
                ConvertPushedLeftToFloat();
            if (op == tEq || op == tNe || op == tBangEq) {
                FEmit.MovRegReg(EBX, EAX);
                FEmit.Pop(EAX);
                FEmit.CompareSet(CondOf(op));
            } else {
                FEmit.Pop(EBX);
                FEmit.XchgEaxEbx();
                FEmit.EaxToSt0();
                FEmit.Push(EBX);
                FEmit.FloatCompareSet(CondOf(op));
                FEmit.Pop(EBX);
                FEmit.Wait();
            }
            FFloatExpression = false; // the result is the integer 0 or 1
        } else {
            FEmit.MovRegReg(EBX, EAX);
            FEmit.Pop(EAX);
            FEmit.CompareSet(CondOf(op));
        }
        left = TValue{};
    }
    if (!FError && FToken == tQuestion) {
        Next();
        std::string elseLabel = NewLabel(), endLabel = NewLabel();
        FEmit.TestEaxJz(elseLabel);
        TValue first = Expression(FStringContext);
        FEmit.Jmp(endLabel);
        if (!FError && Expect(tColon, TLumoError::ColonExpected)) {
            FImage.DefineLabel(elseLabel);
            TValue second = Expression(FStringContext || first.kind == VKind::String);
            if (!FError && first.kind != second.kind)
                Error(TLumoError::WrongType);
            FImage.DefineLabel(endLabel);
        }
        left = first;
    }
    FStringContext = saved;
    FFloatExpression = savedFloat;
    --FNesting;
    return left;
}

TValue TLumoCompiler::Additive()
{
    TValue value;
    if (FToken == tPlus || FToken == tMinus) {
        bool negative = FToken == tMinus;
        Next();
        FEmit.XorReg(EAX); // 0 and 0.0 share one bit pattern
        FEmit.Push(EAX);
        TValue first = Term();
        if (FError)
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
    while (!FError && (FToken == tPlus || FToken == tMinus)) {
        uint8_t op = FToken;
        Next();
        FEmit.Push(EAX);
        bool saved = FStringContext;
        if (value.kind == VKind::String)
            FStringContext = true;
        TValue right = Term();
        FStringContext = saved;
        if (FError)
            break;
        value = BinaryOp(op, value, right);
    }
    return value;
}

TValue TLumoCompiler::Term()
{
    TValue value = Factor();
    while (!FError && IsMultiplicative(FToken)) {
        uint8_t op = FToken;
        Next();
        FEmit.Push(EAX);
        TValue right = Factor();
        if (FError)
            break;
        value = BinaryOp(op, value, right);
    }
    return value;
}

void TLumoCompiler::ConvertPushedLeftToFloat()
{
    FEmit.Pop(EBX);
    FEmit.XchgEaxEbx();
    FEmit.IntToFloat();
    FEmit.XchgEaxEbx();
    FEmit.Push(EBX);
}

TValue TLumoCompiler::BinaryOp(uint8_t op, TValue left, TValue right)
{
    if (left.kind == VKind::String || right.kind == VKind::String) {
        if (op != tPlus) {
            Error(TLumoError::IllegalStringOperation);
        } else if (left.kind != right.kind) {
            Error(TLumoError::StringExpected);
        } else {
            FEmit.Pop(EBX);
            FEmit.Push(ECX);
            FEmit.XorReg(ECX);
            CallStub(stStrConcat);
            FEmit.Pop(ECX);
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
            FEmit.IntToFloat();
        if (left.kind == VKind::Int)
            ConvertPushedLeftToFloat();
        switch (op) {
        case tPlus: FEmit.FloatBinary(FloatOp::Add); break;
        case tMinus: FEmit.FloatBinary(FloatOp::Sub); break;
        case tStar: FEmit.FloatBinary(FloatOp::Mul); break;
        case tSlash: FEmit.FloatBinary(FloatOp::Div); break;
        default: Error(TLumoError::InvalidFloatOperation); break;
        }
        return TValue{VKind::Float, true, -1};
    }
    bool isSigned = left.isSigned || right.isSigned;
    switch (op) {
    case tPlus:
        FEmit.Pop(EBX);
        FEmit.Arith(ArithOp::Add);
        break;
    case tStar:
        FEmit.Pop(EBX);
        FEmit.Multiply(isSigned);
        break;
    default:
        FEmit.MovRegReg(EBX, EAX);
        FEmit.Pop(EAX);
        switch (op) {
        case tMinus: FEmit.Arith(ArithOp::Sub); break;
        case tSlash: FEmit.Divide(isSigned); break;
        case tPercent: FEmit.Remainder(isSigned); break;
        case tAmp: FEmit.Arith(ArithOp::And); break;
        case tBar: FEmit.Arith(ArithOp::Or); break;
        case tCaret: FEmit.Arith(ArithOp::Xor); break;
        case tShl: FEmit.ShiftLeft(); break;
        case tShr: FEmit.ShiftRight(); break;
        default: break;
        }
    }
    return TValue{VKind::Int, isSigned, -1};
}

TValue TLumoCompiler::Factor()
{
    TValue v = PlainFactor();
    if (FError)
        return v;
    if (v.kind == VKind::Float) {
        FFloatExpression = true;
    } else if (v.kind == VKind::Int && FFloatExpression) {
        FEmit.IntToFloat();
        v = TValue{VKind::Float, true, -1};
    }
    return v;
}

TValue TLumoCompiler::PlainFactor()
{
    switch (FToken) {
    case tInc:
    case tDec: {
        bool increment = FToken == tInc;
        Next();
        TDesignator d;
        if (!PrefixedVariable(d))
            return {};
        if (d.charValue || d.isArray || (!d.pointer && (d.type == tcString || d.type == tcStruct))) {
            Error(d.type == tcString ? TLumoError::IllegalStringOperation : TLumoError::IllegalStructOperation);
            return {};
        }
        if (d.type == tcFloat && !d.pointer) {
            FEmit.LoadFromEbx(4, false, d.disp);
            FEmit.FloatStep(increment);
            FEmit.StoreToEbx(4, d.disp);
        } else {
            FEmit.IncDecAtEbx(d.pointer ? 4 : static_cast<int>(SizeOfType(d.type, -1)), increment, d.disp);
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
        FEmit.MovEbxDerefEbx();
        d.pointer = false;
        return LoadDesignator(d);
    }
    case tAmp: {
        Next();
        if (FToken == tFunction) {
            int32_t fn = Lookup(FText);
            FEmit.MovEaxAddress(FNames[fn].codeName, 0);
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
        FEmit.MovRegReg(EAX, EBX);
        return {};
    }
    case tBang:
    case tTilde: {
        bool logical = FToken == tBang;
        Next();
        if (++FNesting > kMaxNesting) {
            Error(TLumoError::ExpressionError);
            return {};
        }
        TValue v = PlainFactor();
        --FNesting;
        if (FError)
            return v;
        if (v.kind != VKind::Int) {
            Error(TLumoError::WrongType);
            return v;
        }
        if (!logical) {
            FEmit.BitNot();
            return TValue{VKind::Int, true, -1};
        }
        std::string zero = NewLabel(), end = NewLabel();
        FEmit.LogicalNot(zero, end);
        return {};
    }
    case tSizeof: SizeofFactor(); return {};
    case tLParen: {
        Next();
        TValue v = Expression(FStringContext);
        if (!FError)
            Expect(tRParen, TLumoError::CloseParenExpected);
        return v;
    }
    case tInt: {
        FEmit.MovEaxImm(static_cast<uint32_t>(FNumber));
        bool negative = FNumber < 0;
        Next();
        return TValue{VKind::Int, negative, -1};
    }
    case tFloat: {
        uint32_t bits;
        std::memcpy(&bits, &FFloat, 4);
        FEmit.MovEaxImm(bits);
        Next();
        return TValue{VKind::Float, true, -1};
    }
    case tConstant:
    case tEnumValue: {
        int32_t entry = Lookup(FText);
        if (entry < 0) {
            Error(TLumoError::VariableNotDefined);
            return {};
        }
        FEmit.MovEaxImm(static_cast<uint32_t>(FNames[entry].value));
        Next();
        return TValue{VKind::Int, true, -1};
    }
    case tLiteral: {
        if (FStringContext)
            return StringLiteral();
        uint32_t value = 0;
        for (size_t i = 0; i < FLiteral.size() && i < 4; ++i)
            value |= static_cast<uint32_t>(static_cast<uint8_t>(FLiteral[i])) << (8 * i);
        FEmit.MovEaxImm(value);
        Next();
        return {};
    }
    case tIdent: return NameFactor();
    case tFunction: {
        int32_t fn = Lookup(FText);
        Next();
        return Call(fn);
    }
    default: Error(TLumoError::ExpressionError); return {};
    }
}

bool TLumoCompiler::PrefixedVariable(TDesignator& d)
{
    bool viaThis = false;
    int32_t entry = FToken == tIdent ? LookupName(FText, viaThis) : -1;
    if (entry < 0 || FNames[entry].kind != kVariable) {
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
    int32_t entry = LookupName(FText, viaThis);
    if (entry < 0 || (FNames[entry].kind != kVariable && !viaThis)) {
        Error(TLumoError::VariableNotDefined);
        return {};
    }
    Next();
    TDesignator d;
    if (!Designator(entry, d, viaThis))
        return {};
    if (d.charValue && FStringContext) {
        CallStub(stStrCharConvert);
        OwnedStringResult();
        return TValue{VKind::String, false, -1};
    }
    return LoadDesignator(d);
}

void TLumoCompiler::VariableAddress(const TNameEntry& e)
{
    switch (e.storage) {
    case sLocal: FEmit.LeaEbp(EBX, -e.offset); break;
    case sParam:
    case sHidden: FEmit.LeaEbp(EBX, e.offset); break;
    default: FEmit.MovEbxAddress(e.codeName, 0); break;
    }
}

void TLumoCompiler::FlushDisp(TDesignator& d)
{
    if (d.disp)
        FEmit.AddEbxImm(d.disp);
    d.disp = 0;
}

// Stores the object address in EBX in a temporary and calls METHOD on it.
TValue TLumoCompiler::MethodCall(int32_t method)
{
    int32_t object = Temporary(tcStruct, FNames[method].owningStruct, "obj", true);
    FEmit.MovRegReg(EAX, EBX);
    VariableAddress(FNames[object]);
    FEmit.StoreToEbx(4, 0);
    return Call(method, object);
}

bool TLumoCompiler::Designator(int32_t entry, TDesignator& d, bool viaThis)
{
    d = TDesignator{};
    if (viaThis) {
        // A member of the method's own structure, reached through "this".
        VariableAddress(FNames[Lookup("this")]);
        FEmit.MovEbxDerefEbx();
        if (FNames[entry].kind == kFunction) {
            d.result = MethodCall(entry);
            d.called = true;
            return !FError;
        }
        d.disp = static_cast<int32_t>(FNames[entry].memberOffset);
    } else {
        VariableAddress(FNames[entry]);
    }
    const TNameEntry& e = FNames[entry];
    d.type = e.type;
    d.typeIndex = e.typeIndex;
    d.pointer = e.pointer;
    d.isArray = e.array;
    while (!FError) {
        if (FToken == tLBracket) {
            Next();
            uint32_t elementSize;
            if (d.isArray) {
                elementSize = d.pointer ? 4 : SizeOfType(d.type, d.typeIndex);
            } else if (d.pointer) {
                FlushDisp(d);
                FEmit.MovEbxDerefEbx();
                d.pointer = false;
                elementSize = SizeOfType(d.type, d.typeIndex);
            } else if (d.type == tcString) {
                FlushDisp(d);
                FEmit.LoadFromEbx(4, false, 0);
                FEmit.Push(EAX);
                TValue index = Expression(false);
                if (!FError && index.kind != VKind::Int)
                    Error(TLumoError::WrongType);
                FEmit.MovRegReg(EBX, EAX);
                FEmit.Pop(EAX);
                FEmit.Push(EAX);
                FEmit.Push(EBX);
                FEmit.CallNative("charat");
                if (!FError)
                    Expect(tRBracket, TLumoError::CloseBracketExpected);
                d.charValue = true;
                return !FError;
            } else {
                Error(TLumoError::NotAnArray);
                return false;
            }
            FlushDisp(d);
            FEmit.Push(EAX);
            FEmit.Push(EBX);
            FEmit.Push(ECX);
            TValue index = Expression(false);
            if (!FError && index.kind != VKind::Int)
                Error(TLumoError::WrongType);
            FEmit.Pop(ECX);
            FEmit.Pop(EBX);
            FEmit.MulEaxConst(static_cast<int32_t>(elementSize));
            FEmit.AddEbxEax();
            FEmit.Pop(EAX);
            if (!FError)
                Expect(tRBracket, TLumoError::CloseBracketExpected);
            d.isArray = false;
        } else if (FToken == tDot || FToken == tArrow) {
            bool arrow = FToken == tArrow;
            if (d.type != tcStruct || d.isArray || d.pointer != arrow) {
                Error(TLumoError::NoStruct);
                return false;
            }
            Next();
            int32_t member = LookupMember(d.typeIndex, FText);
            if (member < 0) {
                Error(TLumoError::VariableNotDefined);
                return false;
            }
            if (arrow) {
                FlushDisp(d);
                FEmit.MovEbxDerefEbx();
            }
            if (FNames[member].kind == kFunction) {
                FlushDisp(d);
                Next();
                d.result = MethodCall(member);
                d.called = true;
                return !FError;
            }
            const TNameEntry& m = FNames[member];
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
    return !FError;
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
        FEmit.MovRegReg(EAX, EBX);
        return {};
    }
    if (d.type == tcStruct && !d.pointer) {
        FlushDisp(d);
        FEmit.MovRegReg(EAX, EBX);
        return TValue{VKind::Struct, false, d.typeIndex};
    }
    int size = d.pointer ? 4 : static_cast<int>(SizeOfType(d.type, -1));
    bool isSigned = !d.pointer && IsSignedType(d.type);
    FEmit.LoadFromEbx(size, isSigned, d.disp);
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
    FEmit.Push(EAX);
    VariableAddress(FNames[temp]);
    FEmit.LoadFromEbx(4, false, 0);
    FEmit.StringDown();
    FEmit.Pop(EAX);
    FEmit.StoreToEbx(4, 0);
}

void TLumoCompiler::OwnedStringResult() { StoreOwnedString(Temporary(tcString, -1, "0")); }

TValue TLumoCompiler::StringLiteral()
{
    if (FLiteral.empty()) {
        FEmit.XorReg(EAX);
    } else {
        // A constant string block (count -1) inline in the code, jumped over.
        std::string text = NewLabel(), skip = NewLabel();
        FEmit.Jmp(skip);
        FImage.DWord(0xFFFFFFFFu);
        FImage.DWord(static_cast<uint32_t>(FLiteral.size()));
        FImage.DefineLabel(text);
        for (char c : FLiteral)
            FImage.Byte(static_cast<uint8_t>(c));
        FImage.Byte(0);
        FImage.DefineLabel(skip);
        FEmit.MovEaxAddress(text, 0);
    }
    Next();
    return TValue{VKind::String, false, -1};
}

TValue TLumoCompiler::StructExpression(int32_t typeIndex)
{
    TValue v;
    switch (FToken) {
    case tIdent: v = NameFactor(); break;
    case tFunction: {
        int32_t fn = Lookup(FText);
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
    if (FError)
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
        FEmit.StoreToEsp(4, FNames[param].offset - 8);
    } else {
        FEmit.Push(EAX);
    }
}

bool TLumoCompiler::Argument(TCallSite& site, int32_t param, size_t index)
{
    const uint8_t type = FNames[param].type;
    const bool pointer = FNames[param].pointer;
    const int32_t typeIndex = FNames[param].typeIndex;
    if (FToken == tComma || FToken == tRParen) {
        FEmit.XorReg(EAX); // an empty argument passes 0
    } else if (type == tcString && !pointer) {
        TValue v = Expression(true);
        if (FError)
            return false;
        if (v.kind != VKind::String) {
            Error(TLumoError::StringExpected);
            return false;
        }
        // A script function's parameter owns this count; a native borrows the
        // string, and the count is dropped after the call.
        FEmit.StringUp();
        if (site.borrows) {
            int32_t temp = Temporary(tcString, -1, std::to_string(index));
            site.argTemps.push_back(temp);
            VariableAddress(FNames[temp]);
            FEmit.StoreToEbx(4, 0);
        }
    } else if (type == tcStruct && !pointer) {
        StructExpression(typeIndex);
        if (FError)
            return false;
        if (site.stdcall) {
            Error(TLumoError::WrongType);
            return false;
        }
        FEmit.MovRegReg(EBX, EAX);
        uint32_t size = SizeOfType(tcStruct, typeIndex);
        FEmit.BlockCopyToStack(size, RoundUp4(size));
        if (!site.borrows && NeedsRelease(tcStruct, typeIndex, false)) {
            FEmit.MovRegReg(EBX, ESP);
            EmitRelease(tcStruct, typeIndex, false, 0, RefOp::Count);
        }
        return true; // already on the stack
    } else {
        TValue v = Expression(false);
        if (FError)
            return false;
        if (type == tcFloat && !pointer) {
            if (v.kind == VKind::Int)
                FEmit.IntToFloat();
            else if (v.kind != VKind::Float)
                Error(TLumoError::WrongType);
        } else if (v.kind == VKind::Float && !pointer) {
            Error(TLumoError::WrongType);
        }
        if (FError)
            return false;
    }
    PlaceArgument(site, param);
    return true;
}

void TLumoCompiler::HiddenArguments(TCallSite& site, int32_t object)
{
    for (int32_t p : FNames[site.fn].params) {
        if (FNames[p].storage != sHidden)
            continue;
        if (FNames[p].name == "this") {
            VariableAddress(FNames[object]);
            FEmit.LoadFromEbx(4, false, 0);
        } else {
            // "?FR!": a temporary receives the structure result.
            site.resultTemp = Temporary(tcStruct, FNames[p].typeIndex, "fr");
            VariableAddress(FNames[site.resultTemp]);
            EmitRelease(tcStruct, FNames[p].typeIndex, false, 0, RefOp::ReleaseAndClear);
            FEmit.MovRegReg(EAX, EBX);
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
    site.stdcall = FNames[fn].isStdcall;
    site.borrows = FNames[fn].isNative || FNames[fn].isImport;
    std::vector<int32_t> declared;
    for (int32_t p : FNames[fn].params)
        if (FNames[p].storage == sParam)
            declared.push_back(p);
    if (site.stdcall && FNames[fn].paramSize)
        FEmit.SubEsp(FNames[fn].paramSize);
    size_t count = 0;
    if (FToken != tRParen) {
        while (!FError) {
            if (count >= declared.size()) {
                Error(TLumoError::ArgumentCount);
                return {};
            }
            if (!Argument(site, declared[count], count))
                return {};
            ++count;
            if (Accept(tComma))
                continue;
            if (FToken != tRParen)
                Error(TLumoError::ArgumentList);
            break;
        }
    }
    if (FError)
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
    const TNameEntry& f = FNames[site.fn];
    if (f.isNative) {
        FEmit.CallNative(f.name);
    } else if (f.isImport) {
        FEmit.CallImport(f.name);
    } else {
        FEmit.CallLabel(f.codeName);
    }
    const uint8_t type = f.type;
    const bool pointer = f.pointer;
    const int32_t typeIndex = f.typeIndex;
    if (type == tcFloat && !pointer)
        FEmit.St0ToEax();
    if (!site.argTemps.empty()) {
        FEmit.Push(EAX);
        for (int32_t temp : site.argTemps) {
            VariableAddress(FNames[temp]);
            FEmit.LoadFromEbx(4, false, 0);
            FEmit.StringDown();
            FEmit.StoreToEbx(4, 0);
        }
        FEmit.Pop(EAX);
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
            VariableAddress(FNames[result]);
            FEmit.StoreToEbx(static_cast<int>(SizeOfType(tcStruct, typeIndex)), 0);
        } else {
            VariableAddress(FNames[result]);
        }
        FEmit.MovRegReg(EAX, EBX);
        return TValue{VKind::Struct, false, typeIndex};
    }
    default: return TValue{VKind::Int, IsSignedType(type), -1};
    }
}

} // namespace kolvarin::script
