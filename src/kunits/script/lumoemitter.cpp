#include "script/lumoemitter.h"

namespace kolvarin::script {

namespace {

uint8_t SetccOpcode(Cond cond)
{
    switch (cond) {
    case Cond::Equal: return 0x94; // sete
    case Cond::NotEqual: return 0x95; // setne
    case Cond::Less: return 0x9C; // setl
    case Cond::LessEqual: return 0x9E; // setle
    case Cond::Greater: return 0x9F; // setg
    case Cond::GreaterEqual: return 0x9D; // setge
    }
    return 0x94;
}

bool FitsInt8(int32_t v) { return v >= -128 && v <= 127; }

} // namespace

void TX86Emitter::Rel32To(const std::string& label)
{
    image_.AddLabelFixup(label);
    image_.DWord(0);
}

void TX86Emitter::ModRmDisp(uint8_t regField, uint8_t base, int32_t d)
{
    uint8_t reg = static_cast<uint8_t>(regField << 3);
    if (d == 0 && base != EBP) {
        image_.Byte(reg | base);
    } else if (FitsInt8(d)) {
        image_.Byte(0x40 | reg | base);
        image_.Byte(static_cast<uint8_t>(d));
    } else {
        image_.Byte(0x80 | reg | base);
        image_.DWord(static_cast<uint32_t>(d));
    }
    if (base == ESP) {
        // The SIB byte for [esp] sits right after the ModRM byte.
        auto at = image_.code.end() - (d == 0 ? 0 : FitsInt8(d) ? 1 : 4);
        image_.code.insert(at, 0x24);
    }
}

void TX86Emitter::Ret(uint32_t n)
{
    if (n == 0) {
        image_.Byte(0xC3); // ret
    } else if (n <= 0xFFFF) {
        image_.Byte(0xC2); // ret iw
        image_.Word(static_cast<uint16_t>(n));
    } else {
        AddEsp(n);
        image_.Byte(0xC3);
    }
}

void TX86Emitter::CallLabel(const std::string& label)
{
    image_.Byte(0xE8); // call rel32
    Rel32To(label);
}

void TX86Emitter::Jz(const std::string& label)
{
    image_.Bytes({0x0F, 0x84}); // jz rel32
    Rel32To(label);
}

void TX86Emitter::Jmp(const std::string& label)
{
    image_.Byte(0xE9); // jmp rel32
    Rel32To(label);
}

void TX86Emitter::CallNative(const std::string& name)
{
    image_.Byte(0xE8); // call rel32 to a native
    image_.AddNativeFixup(name);
    image_.DWord(0);
}

void TX86Emitter::CallImport(const std::string& name)
{
    image_.Byte(0xE8); // call rel32 to an import
    image_.AddImportFixup(name);
    image_.DWord(0);
}

void TX86Emitter::PushEngine()
{
    image_.Byte(0x68); // push imm32
    image_.AddSelfFixup();
    image_.DWord(0);
}

void TX86Emitter::CallNumberStub(const std::string& label)
{
    CallLabel(label);
    XorReg(EAX);
    XorReg(EBX);
}

void TX86Emitter::StringUp()
{
    Push(EAX);
    CallNative("RTL_STRING_INCREASE");
}

void TX86Emitter::StringDown()
{
    Push(EAX);
    CallNative("RTL_STRING_DECREASE");
}

void TX86Emitter::TestEaxJz(const std::string& label)
{
    image_.Bytes({0x85, 0xC0}); // test eax,eax
    Jz(label);
}

void TX86Emitter::Int3() { image_.Byte(0xCC); }
void TX86Emitter::PushAd() { image_.Byte(0x60); }
void TX86Emitter::PopAd() { image_.Byte(0x61); }

void TX86Emitter::CompareSet(Cond cond)
{
    image_.Bytes({0x39, 0xD8}); // cmp eax,ebx
    image_.Bytes({0x0F, SetccOpcode(cond), 0xC0}); // setcc al
    image_.Bytes({0x25, 0xFF, 0x00, 0x00, 0x00}); // and eax,0FFh
}

void TX86Emitter::StringCompareSet(Cond cond)
{
    CallLabel("C_StrCompare");
    if (cond == Cond::Equal || cond == Cond::NotEqual) {
        image_.Bytes({0x85, 0xC0}); // test eax,eax
    } else {
        image_.Bytes({0x83, 0xF8, 0x00}); // cmp eax,0
    }
    image_.Bytes({0x0F, SetccOpcode(cond), 0xC0});
    image_.Bytes({0x25, 0xFF, 0x00, 0x00, 0x00});
}

void TX86Emitter::FloatCompareSet(Cond cond)
{
    uint8_t set = 0x92; // setb
    switch (cond) {
    case Cond::Less: set = 0x92; break; // setb
    case Cond::LessEqual: set = 0x96; break; // setbe
    case Cond::Greater: set = 0x97; break; // seta
    case Cond::GreaterEqual: set = 0x93; break; // setae
    case Cond::Equal: set = 0x94; break; // sete
    case Cond::NotEqual: set = 0x95; break; // setne
    }
    XorReg(EAX);
    image_.Bytes({0xD8, 0x1C, 0x24}); // fcomp dword [esp]
    image_.Bytes({0xDF, 0xE0}); // fnstsw ax
    image_.Byte(0x9E); // sahf
    image_.Bytes({0x0F, set, 0xC0});
    image_.Bytes({0x25, 0xFF, 0x00, 0x00, 0x00});
}

void TX86Emitter::LogicalNot(const std::string& zeroLabel, const std::string& endLabel)
{
    TestEaxJz(zeroLabel);
    XorReg(EAX);
    Jmp(endLabel);
    image_.DefineLabel(zeroLabel);
    XorReg(EAX);
    image_.Byte(0x40); // inc eax
    image_.DefineLabel(endLabel);
}

void TX86Emitter::BitNot() { image_.Bytes({0xF7, 0xD0}); } // not eax

void TX86Emitter::Push(Reg r) { image_.Byte(static_cast<uint8_t>(0x50 + r)); }
void TX86Emitter::Pop(Reg r) { image_.Byte(static_cast<uint8_t>(0x58 + r)); }

void TX86Emitter::SubEsp(uint32_t n)
{
    image_.Bytes({0x81, 0xEC}); // sub esp,imm32
    image_.DWord(n);
}

void TX86Emitter::AddEsp(uint32_t n)
{
    image_.Bytes({0x81, 0xC4}); // add esp,imm32
    image_.DWord(n);
}

void TX86Emitter::MovRegReg(Reg to, Reg from)
{
    // The forms the code generator has always used for these three.
    if (to == ESI && from == EAX)
        return image_.Bytes({0x8B, 0xF0}); // mov esi,eax
    if (to == EBX && from == ESI)
        return image_.Bytes({0x8B, 0xDE}); // mov ebx,esi
    if (to == EBX && from == ECX)
        return image_.Bytes({0x8B, 0xD9}); // mov ebx,ecx
    image_.Bytes({0x89, static_cast<uint8_t>(0xC0 | from << 3 | to)}); // mov to,from
}

void TX86Emitter::MovEbxDerefEbx() { image_.Bytes({0x8B, 0x1B}); } // mov ebx,[ebx]
void TX86Emitter::XchgEaxEbx() { image_.Byte(0x93); }

void TX86Emitter::MovEaxImm(uint32_t value)
{
    image_.Byte(0xB8); // mov eax,imm32
    image_.DWord(value);
}

void TX86Emitter::XorReg(Reg r) { image_.Bytes({0x31, static_cast<uint8_t>(0xC0 | r << 3 | r)}); }

void TX86Emitter::MovEaxAddress(const std::string& label, int32_t addend)
{
    image_.Byte(0xB8); // mov eax,abs
    image_.AddAbsoluteFixup(label, addend);
    image_.DWord(0);
}

void TX86Emitter::MovEbxAddress(const std::string& label, int32_t addend)
{
    image_.Byte(0xBB); // mov ebx,abs
    image_.AddAbsoluteFixup(label, addend);
    image_.DWord(0);
}

void TX86Emitter::Arith(ArithOp op)
{
    static const uint8_t opcodes[] = {0x01, 0x29, 0x21, 0x09, 0x31}; // add sub and or xor
    image_.Bytes({opcodes[static_cast<int>(op)], 0xD8}); // op eax,ebx
}

void TX86Emitter::AddEbxEax() { image_.Bytes({0x01, 0xC3}); } // add ebx,eax

void TX86Emitter::Multiply(bool isSigned)
{
    image_.Bytes({0xF7, static_cast<uint8_t>(isSigned ? 0xEB : 0xE3)}); // imul ebx / mul ebx
}

void TX86Emitter::Divide(bool isSigned)
{
    if (isSigned) {
        image_.Bytes({0x99, 0xF7, 0xFB}); // cdq; idiv ebx
    } else {
        image_.Bytes({0x31, 0xD2, 0xF7, 0xF3}); // xor edx,edx; div ebx
    }
}

void TX86Emitter::Remainder(bool isSigned)
{
    Divide(isSigned);
    image_.Bytes({0x89, 0xD0}); // mov eax,edx
}

void TX86Emitter::ShiftLeft()
{
    Push(ECX);
    image_.Bytes({0x89, 0xD9, 0xD3, 0xE0}); // mov ecx,ebx; shl eax,cl
    Pop(ECX);
}

void TX86Emitter::ShiftRight()
{
    Push(ECX);
    image_.Bytes({0x89, 0xD9, 0xD3, 0xE8}); // mov ecx,ebx; shr eax,cl
    Pop(ECX);
}

void TX86Emitter::AddEbxImm(int32_t value)
{
    if (FitsInt8(value)) {
        image_.Bytes({0x83, 0xC3, static_cast<uint8_t>(value)}); // add ebx,ib
    } else {
        image_.Bytes({0x81, 0xC3}); // add ebx,id
        image_.DWord(static_cast<uint32_t>(value));
    }
}

void TX86Emitter::MulEaxConst(int32_t c)
{
    if (c == 1)
        return;
    if (c == 0) {
        XorReg(EAX);
        return;
    }
    if (c > 0 && (c & (c - 1)) == 0) {
        int n = 0;
        while ((1 << n) != c)
            ++n;
        if (n == 1) {
            image_.Bytes({0xD1, 0xE0}); // shl eax,1
        } else {
            image_.Bytes({0xC1, 0xE0, static_cast<uint8_t>(n)}); // shl eax,ib
        }
    } else if (FitsInt8(c)) {
        image_.Bytes({0x6B, 0xC0, static_cast<uint8_t>(c)}); // imul eax,eax,ib
    } else {
        image_.Bytes({0x69, 0xC0}); // imul eax,eax,id
        image_.DWord(static_cast<uint32_t>(c));
    }
}

void TX86Emitter::LoadFromEbx(int size, bool isSigned, int32_t d)
{
    switch (size) {
    case 1: image_.Bytes({0x0F, static_cast<uint8_t>(isSigned ? 0xBE : 0xB6)}); break; // movsx/movzx eax,byte
    case 2: image_.Bytes({0x0F, static_cast<uint8_t>(isSigned ? 0xBF : 0xB7)}); break; // movsx/movzx eax,word
    default: image_.Byte(0x8B); break; // mov eax,dword
    }
    ModRmDisp(EAX, EBX, d);
}

void TX86Emitter::StoreTo(Reg base, int size, int32_t d)
{
    if (size == 2)
        image_.Byte(0x66);
    image_.Byte(size == 1 ? 0x88 : 0x89); // mov [base+d],al|ax|eax
    ModRmDisp(EAX, base, d);
}

void TX86Emitter::StoreToEbx(int size, int32_t d) { StoreTo(EBX, size, d); }

void TX86Emitter::IncDecAtEbx(int size, bool increment, int32_t d)
{
    if (size == 2)
        image_.Byte(0x66);
    image_.Byte(size == 1 ? 0xFE : 0xFF); // inc/dec [ebx+d]
    ModRmDisp(increment ? 0 : 1, EBX, d);
}

void TX86Emitter::LeaEbp(Reg r, int32_t d)
{
    image_.Byte(0x8D); // lea r,[ebp+d]
    ModRmDisp(r, EBP, d);
}

void TX86Emitter::StoreToEsp(int size, int32_t d) { StoreTo(ESP, size, d); }

void TX86Emitter::RepMove(uint32_t n)
{
    image_.Bytes({0x8B, 0xD9}); // mov ebx,ecx
    if (n % 4 == 0) {
        image_.Byte(0xB9); // mov ecx,n/4
        image_.DWord(n / 4);
        image_.Bytes({0xF3, 0xA5}); // rep movsd
    } else if (n % 2 == 1) {
        image_.Byte(0xB9); // mov ecx,n
        image_.DWord(n);
        image_.Bytes({0xF3, 0xA4}); // rep movsb
    } else {
        image_.Byte(0xB9); // mov ecx,n/2
        image_.DWord(n / 2);
        image_.Bytes({0x66, 0xF3, 0xA5}); // rep movsw
    }
    image_.Bytes({0x89, 0xD9}); // mov ecx,ebx
}

void TX86Emitter::BlockCopyToEax(uint32_t n)
{
    image_.Bytes({0x8B, 0xF3}); // mov esi,ebx
    image_.Bytes({0x89, 0xC7}); // mov edi,eax
    RepMove(n);
}

void TX86Emitter::BlockCopyToStack(uint32_t n, uint32_t reserve)
{
    SubEsp(reserve);
    image_.Bytes({0x8B, 0xF3}); // mov esi,ebx
    image_.Bytes({0x8B, 0xFC}); // mov edi,esp
    RepMove(n);
}

void TX86Emitter::LoadEsiFromEsp(int32_t d)
{
    image_.Byte(0x8B); // mov esi,[esp+d]
    ModRmDisp(ESI, ESP, d);
}

void TX86Emitter::MovEbxEsp4() { image_.Bytes({0x8B, 0x5C, 0x24, 0x04}); } // mov ebx,[esp+4]

void TX86Emitter::Fld1() { image_.Bytes({0xD9, 0xE8}); }
void TX86Emitter::Wait() { image_.Byte(0x9B); }

void TX86Emitter::IntToFloat()
{
    image_.Bytes({0x89, 0x44, 0x24, 0xFC}); // mov [esp-4],eax
    image_.Bytes({0xDB, 0x44, 0x24, 0xFC}); // fild dword [esp-4]
    St0ToEax();
}

void TX86Emitter::FloatToInt()
{
    EaxToSt0();
    image_.Bytes({0xDB, 0x5C, 0x24, 0xFC}); // fistp dword [esp-4]
    image_.Bytes({0x8B, 0x44, 0x24, 0xFC}); // mov eax,[esp-4]
}

void TX86Emitter::EaxToSt0()
{
    image_.Bytes({0x89, 0x44, 0x24, 0xFC}); // mov [esp-4],eax
    image_.Bytes({0xD9, 0x44, 0x24, 0xFC}); // fld dword [esp-4]
}

void TX86Emitter::St0ToEax()
{
    image_.Bytes({0xD9, 0x5C, 0x24, 0xFC}); // fstp dword [esp-4]
    image_.Bytes({0x8B, 0x44, 0x24, 0xFC}); // mov eax,[esp-4]
}

void TX86Emitter::FloatBinary(FloatOp op)
{
    static const uint8_t modrm[] = {0x04, 0x24, 0x0C, 0x34}; // fadd fsub fmul fdiv dword [esp]
    Pop(EBX);
    bool ordered = op == FloatOp::Sub || op == FloatOp::Div;
    if (ordered)
        XchgEaxEbx(); // the left operand goes to ST0
    EaxToSt0();
    Push(EBX);
    image_.Bytes({0xD8, modrm[static_cast<int>(op)], 0x24});
    Pop(EBX);
    St0ToEax();
    Wait();
}

void TX86Emitter::FloatStep(bool increment)
{
    EaxToSt0();
    Fld1();
    image_.Bytes({0xDE, static_cast<uint8_t>(increment ? 0xC1 : 0xE9)}); // faddp/fsubp st1,st0
    St0ToEax();
}

uint32_t TX86Emitter::Patchable(std::initializer_list<uint8_t> opcode)
{
    image_.Bytes(opcode);
    uint32_t at = image_.Position();
    image_.DWord(0);
    return at;
}

uint32_t TX86Emitter::SubEspPatchable() { return Patchable({0x81, 0xEC}); } // sub esp,imm32
uint32_t TX86Emitter::MovEcxPatchable() { return Patchable({0xB9}); } // mov ecx,imm32
uint32_t TX86Emitter::SubEdiPatchable() { return Patchable({0x81, 0xEF}); } // sub edi,imm32
uint32_t TX86Emitter::LeaEspEbpPatchable() { return Patchable({0x8D, 0xA5}); } // lea esp,[ebp+disp32]

void TX86Emitter::RepStosb() { image_.Bytes({0xF3, 0xAA}); }

void TX86Emitter::ShortJmp(int8_t rel) { image_.Bytes({0xEB, static_cast<uint8_t>(rel)}); }

} // namespace kolvarin::script
