#pragma once
// x86-32 instruction templates. Each method writes one instruction or one
// fixed short sequence into a code image and records the fix-up where an
// address is not known yet. Expression values live in EAX, EBX is the second
// operand and address register, ECX the index register, EBP the frame.

#include <cstdint>
#include <string>

#include "script/lumocodeimage.h"

namespace kolvarin::script {

enum Reg : uint8_t { EAX = 0, ECX = 1, EDX = 2, EBX = 3, ESP = 4, EBP = 5, ESI = 6, EDI = 7 };

// Conditions of the comparison templates (signed for integers, unsigned-style
// flags after a float compare).
enum class Cond { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };

enum class ArithOp { Add, Sub, And, Or, Xor };
enum class FloatOp { Add, Sub, Mul, Div };

class TX86Emitter {
public:
    explicit TX86Emitter(TCodeImage& image) : image_(image) {}
    TCodeImage& Image() { return image_; }

    // Control flow.
    void Ret(uint32_t argumentBytes);
    void CallLabel(const std::string& label);
    void Jz(const std::string& label);
    void Jmp(const std::string& label);
    void CallNative(const std::string& name);
    void CallImport(const std::string& name);
    void PushEngine();
    void CallNumberStub(const std::string& label); // call, then xor eax,eax; xor ebx,ebx
    void StringUp(); // push eax; call RTL_STRING_INCREASE
    void StringDown(); // push eax; call RTL_STRING_DECREASE
    void TestEaxJz(const std::string& label);
    void Int3();
    void PushAd();
    void PopAd();

    // Truth values.
    void CompareSet(Cond cond); // cmp eax,ebx; setcc al; and eax,0FFh
    void StringCompareSet(Cond cond); // call C_StrCompare, then the test
    void FloatCompareSet(Cond cond); // value at [esp] against ST0
    void LogicalNot(const std::string& zeroLabel, const std::string& endLabel);
    void BitNot();

    // Stack and registers.
    void Push(Reg r);
    void Pop(Reg r);
    void SubEsp(uint32_t n);
    void AddEsp(uint32_t n);
    void MovRegReg(Reg to, Reg from);
    void MovEbxDerefEbx();
    void XchgEaxEbx();
    void MovEaxImm(uint32_t value);
    void XorReg(Reg r);
    void MovEaxAddress(const std::string& label, int32_t addend);
    void MovEbxAddress(const std::string& label, int32_t addend);

    // Integer arithmetic, EAX op EBX into EAX.
    void Arith(ArithOp op);
    void AddEbxEax();
    void Multiply(bool isSigned);
    void Divide(bool isSigned);
    void Remainder(bool isSigned);
    void ShiftLeft();
    void ShiftRight();
    void AddEbxImm(int32_t value);
    void MulEaxConst(int32_t factor);

    // Memory through EBX: loads zero- or sign-extend 1- and 2-byte values.
    void LoadFromEbx(int size, bool isSigned, int32_t d);
    void StoreToEbx(int size, int32_t d); // [ebx+d] := al/ax/eax
    void IncDecAtEbx(int size, bool increment, int32_t d);
    void LeaEbp(Reg r, int32_t d); // lea eax|ebx,[ebp+d]
    void StoreToEsp(int size, int32_t d); // [esp+d] := al/ax/eax
    // Copies N bytes from [ebx] to [eax]; ECX is kept.
    void BlockCopyToEax(uint32_t n);
    void MovEbxEsp4(); // mov ebx,[esp+4]
    void LoadEsiFromEsp(int32_t d); // mov esi,[esp+d]
    // Reserves RESERVE bytes on the stack and copies N bytes from [ebx] there.
    void BlockCopyToStack(uint32_t n, uint32_t reserve);

    // Floats; [esp-4] is the scratch slot just below the stack.
    void Fld1();
    void Wait();
    void IntToFloat(); // EAX integer -> EAX float bits
    void FloatToInt(); // EAX float bits -> EAX integer (rounded)
    void EaxToSt0(); // EAX float bits -> ST0
    void St0ToEax(); // ST0 -> EAX float bits (pops)
    void FloatBinary(FloatOp op); // pushed left, EAX right -> EAX
    void FloatStep(bool increment); // EAX float bits +/- 1.0

    // Frame pieces. The returned positions are 32-bit operands to patch.
    uint32_t SubEspPatchable();
    uint32_t MovEcxPatchable();
    uint32_t SubEdiPatchable();
    uint32_t LeaEspEbpPatchable(); // lea esp,[ebp-N]
    void RepStosb();
    void ShortJmp(int8_t rel);

private:
    void ModRmDisp(uint8_t regField, uint8_t base, int32_t d); // [base+d], shortest form
    void StoreTo(Reg base, int size, int32_t d); // [base+d] := al/ax/eax
    void RepMove(uint32_t n);
    uint32_t Patchable(std::initializer_list<uint8_t> opcode); // opcode, then a 32-bit operand to patch  // ESI to EDI,
                                                               // N bytes, one repeated move; ECX kept
    void Rel32To(const std::string& label);
    TCodeImage& image_;
};

} // namespace kolvarin::script
