// The program frame: "$start", "$main", "$end", the run-time call stubs and
// the zero-filled global data.
#include "script/lumocompiler.h"
#include "script/lumoscript.h"

namespace kolvarin::script {

// The natives pop what the stub pushes: "C_StrNew" and "C_StrLength" push the
// one argument their natives take.
const TStubInfo kStubs[stCount] = {
    {"C_OutputBlock", "RTL_OUTPUTBLOCK", true, "a", false},
    {"C_PrintString", "RTL_PRINTF_STRING", true, "a", false},
    {"C_WRITENUMSIGNED", "RTL_PRINTF_NUMBER_SIGNED", true, "a", true},
    {"C_WRITENUMUNSIGNED", "RTL_PRINTF_NUMBER_UNSIGNED", true, "a", true},
    {"C_PrintChar", "RTL_PRINTF_CHAR", true, "a", false},
    {"C_PrintPCharString", "RTL_PRINTF_PCHAR", true, "a", false},
    {"C_PrintFloat", "RTL_PRINTF_FLOAT", true, "a", true},
    {"C_StrNew", "RTL_STRING_NEW", false, "a", false},
    {"C_StrAssign", "RTL_STRING_ASSIGN", false, "ab", false},
    {"C_StrLength", "RTL_STRING_LENGTH", false, "a", false},
    {"C_StrSetLength", "RTL_STRING_SETLENGTH", false, "ab", false},
    {"C_StrUnique", "RTL_STRING_UNIQUE", false, "a", false},
    {"C_StrCharConvert", "RTL_STRING_CHARCONVERT", false, "a", false},
    {"C_StrGet", "RTL_STRING_GET", false, "ab", false},
    {"C_StrConcat", "RTL_STRING_CONCAT", false, "bac", false},
    {"C_StrSelfConcat", "RTL_STRING_SELF_CONCAT", false, "ab", false},
    {"C_StrCompare", "RTL_STRING_COMPARE", false, "ab", false},
};

const TStubInfo& StubInfo(Stub stub) { return kStubs[stub]; }

void TLumoCompiler::CallStub(Stub stub)
{
    MarkStub(stub);
    if (kStubs[stub].numberCall) {
        emit_.CallNumberStub(kStubs[stub].label);
    } else {
        emit_.CallLabel(kStubs[stub].label);
    }
}

void TLumoCompiler::CompileProgram()
{
    ReadChar();
    Next();
    startExit_ = "$start@exit";
    EntryPrologue("$start");
    TopLevel();
    image_.DefineLabel(startExit_);
    EntryEpilogue();

    EntryPrologue("$main");
    int32_t main = Lookup("main");
    if (main >= 0 && names_[main].kind == kFunction && !names_[main].isNative && !names_[main].isImport)
        emit_.CallLabel(names_[main].codeName);
    EntryEpilogue();

    EntryPrologue("$end");
    image_.DefineLabel("C_Exit");
    for (size_t i = 1; i < names_.size(); ++i) {
        const TNameEntry& e = names_[i];
        if (e.kind != kVariable || (e.storage != sGlobal && e.storage != sStatic) ||
            !NeedsRelease(e.type, e.typeIndex, e.pointer))
            continue;
        emit_.MovEbxAddress(e.codeName, 0);
        uint32_t count = e.array ? e.arrayLength : 1;
        for (uint32_t k = 0; k < count; ++k)
            EmitRelease(e.type, e.typeIndex, false, static_cast<int32_t>(k * e.elementSize), RefOp::ReleaseAndClear);
    }
    EntryEpilogue();

    EmitStubs();
    image_.DefineLabel("CodeEnd");
    EmitGlobals();
}

// The host's entry routines save and restore every general register.
void TLumoCompiler::EntryPrologue(const std::string& name)
{
    image_.AddPublicFunction(name, "");
    emit_.PushAd();
    emit_.Push(EBP);
    emit_.MovRegReg(EBP, ESP);
}

void TLumoCompiler::EntryEpilogue()
{
    emit_.MovRegReg(ESP, EBP);
    emit_.Pop(EBP);
    emit_.PopAd();
    emit_.Ret(0);
}

void TLumoCompiler::EmitStubs()
{
    for (int s = 0; s < stCount; ++s) {
        if (!stubUsed_[s])
            continue;
        const TStubInfo& info = kStubs[s];
        if (FindNative(info.native) < 0)
            Error(TLumoError::NativeNotFound);
        image_.DefineLabel(info.label);
        if (info.engine)
            emit_.PushEngine();
        for (const char* r = info.pushes; *r; ++r)
            emit_.Push(*r == 'a' ? EAX : *r == 'b' ? EBX : ECX);
        emit_.CallNative(info.native);
        emit_.Ret(0);
    }
}

void TLumoCompiler::EmitGlobals()
{
    for (size_t i = 1; i < names_.size(); ++i) {
        const TNameEntry& e = names_[i];
        if (e.kind != kVariable || (e.storage != sGlobal && e.storage != sStatic))
            continue;
        image_.AddPublicVariable(e.storage == sStatic ? e.name + "." + e.scope : e.name, "");
        image_.DefineLabel(e.codeName);
        uint32_t size = EntrySize(e);
        image_.code.resize(image_.code.size() + size, 0);
        image_.zeroAreaSize += size;
    }
}

} // namespace kolvarin::script
