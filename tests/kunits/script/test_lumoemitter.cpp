// The instruction templates, byte for byte.
#include <gtest/gtest.h>

#include <functional>

#include "script/lumoemitter.h"

namespace kolvarin::script {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Emit(const std::function<void(TX86Emitter&)>& write)
{
    TCodeImage image;
    TX86Emitter emit(image);
    write(emit);
    return image.code;
}

struct TemplateCase {
    const char* name;
    std::function<void(TX86Emitter&)> write;
    Bytes bytes;
};

TEST(X86Emitter, TemplatesWriteTheirBytes)
{
    const TemplateCase cases[] = {
      {"ret", [](TX86Emitter& e) { e.Ret(0); }, {0xC3}},
      {"ret 8", [](TX86Emitter& e) { e.Ret(8); }, {0xC2, 0x08, 0x00}},
      {"ret 65535", [](TX86Emitter& e) { e.Ret(65535); }, {0xC2, 0xFF, 0xFF}},
      {"ret 65536", [](TX86Emitter& e) { e.Ret(65536); }, {0x81, 0xC4, 0x00, 0x00, 0x01, 0x00, 0xC3}},
      {"call label", [](TX86Emitter& e) { e.CallLabel("L"); }, {0xE8, 0, 0, 0, 0}},
      {"jz label", [](TX86Emitter& e) { e.Jz("L"); }, {0x0F, 0x84, 0, 0, 0, 0}},
      {"jmp label", [](TX86Emitter& e) { e.Jmp("L"); }, {0xE9, 0, 0, 0, 0}},
      {"push engine", [](TX86Emitter& e) { e.PushEngine(); }, {0x68, 0, 0, 0, 0}},
      {"number stub", [](TX86Emitter& e) { e.CallNumberStub("C_WRITENUMSIGNED"); },
       {0xE8, 0, 0, 0, 0, 0x31, 0xC0, 0x31, 0xDB}},
      {"string down", [](TX86Emitter& e) { e.StringDown(); }, {0x50, 0xE8, 0, 0, 0, 0}},
      {"compare setl", [](TX86Emitter& e) { e.CompareSet(Cond::Less); },
       {0x39, 0xD8, 0x0F, 0x9C, 0xC0, 0x25, 0xFF, 0x00, 0x00, 0x00}},
      {"string compare sete", [](TX86Emitter& e) { e.StringCompareSet(Cond::Equal); },
       {0xE8, 0, 0, 0, 0, 0x85, 0xC0, 0x0F, 0x94, 0xC0, 0x25, 0xFF, 0x00, 0x00, 0x00}},
      {"string compare setge", [](TX86Emitter& e) { e.StringCompareSet(Cond::GreaterEqual); },
       {0xE8, 0, 0, 0, 0, 0x83, 0xF8, 0x00, 0x0F, 0x9D, 0xC0, 0x25, 0xFF, 0x00, 0x00, 0x00}},
      {"float compare seta", [](TX86Emitter& e) { e.FloatCompareSet(Cond::Greater); },
       {0x31, 0xC0, 0xD8, 0x1C, 0x24, 0xDF, 0xE0, 0x9E, 0x0F, 0x97, 0xC0, 0x25, 0xFF, 0x00, 0x00, 0x00}},
      {"not", [](TX86Emitter& e) { e.BitNot(); }, {0xF7, 0xD0}},
      {"push pop", [](TX86Emitter& e) { e.Push(EBP); e.Pop(ESI); }, {0x55, 0x5E}},
      {"register moves",
       [](TX86Emitter& e) {
         e.MovRegReg(EBP, ESP);
         e.MovRegReg(ESP, EBP);
         e.MovRegReg(ESI, EAX);
         e.MovRegReg(EBX, ESI);
         e.MovRegReg(EBX, EAX);
         e.MovRegReg(EAX, EBX);
         e.MovRegReg(ECX, EAX);
         e.MovRegReg(EBX, ECX);
         e.MovRegReg(EBX, EBP);
       },
       {0x89, 0xE5, 0x89, 0xEC, 0x8B, 0xF0, 0x8B, 0xDE, 0x89, 0xC3, 0x89, 0xD8, 0x89, 0xC1, 0x8B, 0xD9, 0x89, 0xEB}},
      {"mov ebx,[ebx]; xchg", [](TX86Emitter& e) { e.MovEbxDerefEbx(); e.XchgEaxEbx(); }, {0x8B, 0x1B, 0x93}},
      {"arith", [](TX86Emitter& e) { for (ArithOp op : {ArithOp::Add, ArithOp::Sub, ArithOp::And, ArithOp::Or, ArithOp::Xor}) e.Arith(op); },
       {0x01, 0xD8, 0x29, 0xD8, 0x21, 0xD8, 0x09, 0xD8, 0x31, 0xD8}},
      {"mul div", [](TX86Emitter& e) { e.Multiply(false); e.Divide(false); e.Remainder(true); },
       {0xF7, 0xE3, 0x31, 0xD2, 0xF7, 0xF3, 0x99, 0xF7, 0xFB, 0x89, 0xD0}},
      {"shifts", [](TX86Emitter& e) { e.ShiftLeft(); e.ShiftRight(); },
       {0x51, 0x89, 0xD9, 0xD3, 0xE0, 0x59, 0x51, 0x89, 0xD9, 0xD3, 0xE8, 0x59}},
      {"add ebx,imm", [](TX86Emitter& e) { e.AddEbxImm(-128); e.AddEbxImm(128); },
       {0x83, 0xC3, 0x80, 0x81, 0xC3, 0x80, 0x00, 0x00, 0x00}},
      {"multiply by 1", [](TX86Emitter& e) { e.MulEaxConst(1); }, {}},
      {"multiply by 0", [](TX86Emitter& e) { e.MulEaxConst(0); }, {0x31, 0xC0}},
      {"multiply by 2", [](TX86Emitter& e) { e.MulEaxConst(2); }, {0xD1, 0xE0}},
      {"multiply by 8", [](TX86Emitter& e) { e.MulEaxConst(8); }, {0xC1, 0xE0, 0x03}},
      {"multiply by 100", [](TX86Emitter& e) { e.MulEaxConst(100); }, {0x6B, 0xC0, 0x64}},
      {"multiply by 1000", [](TX86Emitter& e) { e.MulEaxConst(1000); }, {0x69, 0xC0, 0xE8, 0x03, 0x00, 0x00}},
      // Unsigned 1- and 2-byte loads zero-extend; signed ones sign-extend.
      {"load byte unsigned", [](TX86Emitter& e) { e.LoadFromEbx(1, false, 0); }, {0x0F, 0xB6, 0x03}},
      {"load byte signed", [](TX86Emitter& e) { e.LoadFromEbx(1, true, 4); }, {0x0F, 0xBE, 0x43, 0x04}},
      {"load word unsigned", [](TX86Emitter& e) { e.LoadFromEbx(2, false, 200); },
       {0x0F, 0xB7, 0x83, 0xC8, 0x00, 0x00, 0x00}},
      {"load word signed", [](TX86Emitter& e) { e.LoadFromEbx(2, true, 0); }, {0x0F, 0xBF, 0x03}},
      {"load dword", [](TX86Emitter& e) { e.LoadFromEbx(4, true, -4); }, {0x8B, 0x43, 0xFC}},
      {"stores", [](TX86Emitter& e) { e.StoreToEbx(1, 0); e.StoreToEbx(2, 8); e.StoreToEbx(4, 1000); },
       {0x88, 0x03, 0x66, 0x89, 0x43, 0x08, 0x89, 0x83, 0xE8, 0x03, 0x00, 0x00}},
      {"inc dec", [](TX86Emitter& e) { e.IncDecAtEbx(4, true, 0); e.IncDecAtEbx(1, false, 4); e.IncDecAtEbx(2, true, 0); },
       {0xFF, 0x03, 0xFE, 0x4B, 0x04, 0x66, 0xFF, 0x03}},
      {"lea ebp-128", [](TX86Emitter& e) { e.LeaEbp(EBX, -128); }, {0x8D, 0x5D, 0x80}},
      {"lea ebp+128", [](TX86Emitter& e) { e.LeaEbp(EAX, 128); }, {0x8D, 0x85, 0x80, 0x00, 0x00, 0x00}},
      {"store to esp", [](TX86Emitter& e) { e.StoreToEsp(4, 0); e.StoreToEsp(4, 8); e.StoreToEsp(1, 300); },
       {0x89, 0x04, 0x24, 0x89, 0x44, 0x24, 0x08, 0x88, 0x84, 0x24, 0x2C, 0x01, 0x00, 0x00}},
      {"copy 8", [](TX86Emitter& e) { e.BlockCopyToEax(8); },
       {0x8B, 0xF3, 0x89, 0xC7, 0x8B, 0xD9, 0xB9, 0x02, 0, 0, 0, 0xF3, 0xA5, 0x89, 0xD9}},
      {"copy 7", [](TX86Emitter& e) { e.BlockCopyToEax(7); },
       {0x8B, 0xF3, 0x89, 0xC7, 0x8B, 0xD9, 0xB9, 0x07, 0, 0, 0, 0xF3, 0xA4, 0x89, 0xD9}},
      {"copy 6", [](TX86Emitter& e) { e.BlockCopyToEax(6); },
       {0x8B, 0xF3, 0x89, 0xC7, 0x8B, 0xD9, 0xB9, 0x03, 0, 0, 0, 0x66, 0xF3, 0xA5, 0x89, 0xD9}},
      {"copy to stack", [](TX86Emitter& e) { e.BlockCopyToStack(6, 8); },
       {0x81, 0xEC, 0x08, 0, 0, 0, 0x8B, 0xF3, 0x8B, 0xFC, 0x8B, 0xD9, 0xB9, 0x03, 0, 0, 0, 0x66, 0xF3, 0xA5, 0x89,
        0xD9}},
      {"int to float", [](TX86Emitter& e) { e.IntToFloat(); },
       {0x89, 0x44, 0x24, 0xFC, 0xDB, 0x44, 0x24, 0xFC, 0xD9, 0x5C, 0x24, 0xFC, 0x8B, 0x44, 0x24, 0xFC}},
      {"float to int", [](TX86Emitter& e) { e.FloatToInt(); },
       {0x89, 0x44, 0x24, 0xFC, 0xD9, 0x44, 0x24, 0xFC, 0xDB, 0x5C, 0x24, 0xFC, 0x8B, 0x44, 0x24, 0xFC}},
      {"float add", [](TX86Emitter& e) { e.FloatBinary(FloatOp::Add); },
       {0x5B, 0x89, 0x44, 0x24, 0xFC, 0xD9, 0x44, 0x24, 0xFC, 0x53, 0xD8, 0x04, 0x24, 0x5B, 0xD9, 0x5C, 0x24, 0xFC,
        0x8B, 0x44, 0x24, 0xFC, 0x9B}},
      {"float sub", [](TX86Emitter& e) { e.FloatBinary(FloatOp::Sub); },
       {0x5B, 0x93, 0x89, 0x44, 0x24, 0xFC, 0xD9, 0x44, 0x24, 0xFC, 0x53, 0xD8, 0x24, 0x24, 0x5B, 0xD9, 0x5C, 0x24,
        0xFC, 0x8B, 0x44, 0x24, 0xFC, 0x9B}},
      {"fld1 wait", [](TX86Emitter& e) { e.Fld1(); e.Wait(); }, {0xD9, 0xE8, 0x9B}},
      {"frame pieces", [](TX86Emitter& e) { e.SubEspPatchable(); e.RepStosb(); e.ShortJmp(15); },
       {0x81, 0xEC, 0, 0, 0, 0, 0xF3, 0xAA, 0xEB, 0x0F}},
  };
    for (const TemplateCase& c : cases)
        EXPECT_EQ(Emit(c.write), c.bytes) << c.name;
}

TEST(X86Emitter, AddressesAndCallsRecordTheirFixups)
{
    TCodeImage image;
    TX86Emitter emit(image);
    emit.MovEbxAddress("AV@3", 8);
    emit.CallNative("RTL_STRING_NEW");
    emit.CallImport("Ext");
    emit.PushEngine();
    emit.Jmp("GL@1");
    ASSERT_EQ(image.fixups.size(), 5u);
    const struct {
        FixupKind kind;
        const char* target;
        uint32_t position;
        int32_t addend;
    } expected[] = {{FixupKind::Absolute, "AV@3", 1, 8},
                    {FixupKind::NativeRel32, "RTL_STRING_NEW", 6, 0},
                    {FixupKind::ImportRel32, "Ext", 11, 0},
                    {FixupKind::Engine, "", 16, 0},
                    {FixupKind::Rel32, "GL@1", 21, 0}};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(image.fixups[i].kind, expected[i].kind) << i;
        EXPECT_EQ(image.fixups[i].target, expected[i].target) << i;
        EXPECT_EQ(image.fixups[i].position, expected[i].position) << i;
        EXPECT_EQ(image.fixups[i].addend, expected[i].addend) << i;
    }
}

} // namespace
} // namespace kolvarin::script
