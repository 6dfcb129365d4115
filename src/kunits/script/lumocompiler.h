#pragma once
// The one-pass compiler: scanner, name and type tables, declarations,
// expressions, statements and the program frame. It writes machine code
// straight into the engine's code image and reports numbered errors through
// the engine. One compiler object serves one compilation.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "script/lumoemitter.h"
#include "script/lumoerrors.h"

namespace kolvarin::script {

class TLumoScript;

// Token codes; words that share a code share a meaning.
enum Tok : uint8_t {
    tIdent = 1,
    tLParen = 2,
    tRParen = 3,
    tInt = 4,
    tOther = 9,
    tBar = 10,
    tPlus = 11,
    tMinus = 12,
    tStar = 13,
    tSlash = 14,
    tPercent = 15,
    tComma = 16,
    tSemicolon = 17,
    tInc = 18,
    tDec = 19,
    tAmp = 20,
    tEq = 21,
    tNe = 22,
    tLt = 23,
    tLe = 24,
    tGt = 25,
    tGe = 26,
    tColon = 27,
    tScope = 28,
    tQuestion = 29,
    tDo = 30,
    tLBrace = 31,
    tIf = 32,
    tSwitch = 33,
    tCase = 34,
    tDefault = 35,
    tElse = 36,
    tWhile = 37,
    tRBrace = 38,
    tPrintf = 39,
    tPrint = 40,
    tAssign = 41,
    tBangEq = 42,
    tShortint = 43,
    tVoid = 44,
    tChar = 45,
    tFloatWord = 46,
    tFor = 47,
    tFunction = 48,
    tIntWord = 49,
    tByte = 50,
    tUnsigned = 51,
    tSigned = 52,
    tString = 53,
    tBang = 54,
    tLBracket = 55,
    tRBracket = 56,
    tStatic = 57,
    tShl = 58,
    tShr = 59,
    tCaret = 60,
    tStruct = 61,
    tUnion = 62,
    tObject = 63,
    tImport = 65,
    tBreak = 70,
    tContinue = 71,
    tReturn = 72,
    tNative = 75,
    tStdcall = 76,
    tGoto = 77,
    tEnum = 78,
    tLiteral = 80,
    tPacked = 81,
    tInherited = 82,
    tTilde = 85,
    tDot = 90,
    tArrow = 91,
    tFloat = 92,
    tAsm = 93,
    tOutputBlock = 94,
    tSizeof = 95,
    tBreakpoint = 96,
    tEnumValue = 150,
    tConstant = 151,
    tLabelDef = 200,
    tUserLabel = 201,
};

// Type codes.
enum TypeCode : uint8_t {
    tcUByte = 1,
    tcByte = 2,
    tcUChar = 3,
    tcChar = 4,
    tcUShort = 5,
    tcShort = 6,
    tcUInt = 7,
    tcInt = 8,
    tcFloat = 9,
    tcVoid = 10,
    tcString = 11,
    tcStruct = 12,
};

// Run-time call stubs, in the order they are laid down behind "$end".
enum Stub : uint8_t {
    stOutputBlock,
    stPrintString,
    stWriteNumSigned,
    stWriteNumUnsigned,
    stPrintChar,
    stPrintPChar,
    stPrintFloat,
    stStrNew,
    stStrAssign,
    stStrLength,
    stStrSetLength,
    stStrUnique,
    stStrCharConvert,
    stStrGet,
    stStrConcat,
    stStrSelfConcat,
    stStrCompare,
    stCount
};

struct TStubInfo {
    const char* label;
    const char* native;
    bool engine; // pushes the engine object first
    const char* pushes; // registers pushed, in order: a=EAX, b=EBX, c=ECX
    bool numberCall; // callers clear EAX and EBX after the call
};
const TStubInfo& StubInfo(Stub stub);

enum Kind : uint8_t { kKeyword = 0, kVariable = 1, kFunction = 48, kEnumName = 150, kConstant = 151, kLabel = 201 };
enum Storage : uint8_t { sGlobal = 0, sLocal = 1, sStatic = 2, sParam = 3, sHidden = 4, sMember = 5 };

struct TNameEntry {
    std::string name, owner, scope, codeName;
    uint8_t kind = kVariable;
    uint8_t type = 0;
    int32_t typeIndex = -1;
    int32_t owningStruct = -1;
    bool pointer = false;
    bool array = false;
    uint8_t storage = sGlobal;
    int32_t offset = 0; // local: distance below EBP; parameter: EBP offset
    uint32_t frameSize = 0; // function: bytes of locals
    uint32_t paramSize = 0; // function: bytes of parameters
    int32_t ownerFunction = -1;
    uint32_t arrayLength = 0;
    uint32_t elementSize = 0;
    uint32_t memberOffset = 0;
    int32_t value = 0;
    bool isNative = false, isImport = false, isStdcall = false;
    bool defined = false; // a method whose body has been compiled
    std::vector<int32_t> params;
    uint8_t token = 0;
    int32_t switchDepth = 0; // user label: switches open where it stands
};

struct TTypeEntry {
    std::string name;
    bool packed = false;
    bool isUnion = false;
    uint32_t size = 0;
    uint32_t memberCount = 0;
    std::vector<int32_t> entries;
    std::vector<int32_t> parents;
};

enum class VKind { Int, Float, String, Struct };

struct TValue {
    VKind kind = VKind::Int;
    bool isSigned = false;
    int32_t typeIndex = -1; // structure values
};

// A variable access being compiled: its address is in EBX plus Disp.
struct TDesignator {
    uint8_t type = 0;
    int32_t typeIndex = -1;
    bool pointer = false;
    bool isArray = false;
    int32_t disp = 0;
    bool charValue = false; // a string index: the character is already in EAX
    bool called = false; // a method call: its value is already in EAX
    TValue result; // what that call gave
};

class TLumoCompiler {
public:
    TLumoCompiler(TLumoScript& engine, TCodeImage& image, const std::string& source);
    // Compiles the whole source into the image; errors go to the engine.
    void CompileProgram();

private:
    // Scanner.
    void ReadChar();
    void Next();
    void ScanWord();
    void ScanNumber();
    void ScanLiteral();
    void SkipAsm();
    bool Accept(uint8_t token);
    bool Expect(uint8_t token, TLumoError errorCode);
    void Error(TLumoError code);

    // Tables.
    void EnterKeywords();
    int32_t Insert(TNameEntry entry);
    // First entry of NAME in the current function's scope (LOCAL) or at the
    // top level; keywords only with ANYKIND.
    int32_t FindInScope(bool local, const std::string& name, bool anyKind) const;
    int32_t Lookup(const std::string& name, bool scopeCheck = false) const;
    int32_t LookupMember(int32_t typeIndex, const std::string& name) const;
    uint8_t TokenOf(const std::string& name) const;
    int32_t FindStruct(const std::string& name) const;
    int32_t FindNative(const std::string& name) const;
    uint32_t SizeOfType(uint8_t type, int32_t typeIndex) const;
    uint32_t EntrySize(const TNameEntry& e) const;
    std::string NewLabel();
    std::string NewCodeName();
    int32_t Temporary(uint8_t type, int32_t typeIndex, const std::string& tag, bool pointer = false);
    bool InFunction() const { return function_ >= 0; }

    // Declarations.
    struct TDeclType {
        uint8_t type = 0;
        int32_t typeIndex = -1;
        bool isStatic = false, isNative = false, isImport = false, isStdcall = false;
    };
    bool IsTypeStart() const;
    bool ParseType(TDeclType& t);
    void Declaration(bool paramMode = false, bool memberMode = false);
    void Declarators(const TDeclType& t, bool paramMode, bool memberMode);
    void DeclareVariable(const std::string& name, const TDeclType& t, bool pointer, uint32_t arrayLength, bool isArray,
                         bool paramMode, bool memberMode);
    void FunctionDefinition(const std::string& name, const TDeclType& t, bool pointer);
    void FunctionBody(int32_t fn);
    void LeaveFunction();
    void StructDefinition();
    void EnumDefinition();
    // What EmitRelease does with each string held at [EBX+d].
    enum class RefOp { Release, ReleaseAndClear, Count };
    void EmitRelease(uint8_t type, int32_t typeIndex, bool pointer, int32_t d, RefOp op = RefOp::Release);
    bool NeedsRelease(uint8_t type, int32_t typeIndex, bool pointer) const;
    // The function returns a string, or a structure holding strings, by value.
    bool OwnsResult(const TNameEntry& f) const;

    // Expressions.
    TValue Expression(bool stringContext = false);
    TValue Additive();
    TValue Term();
    // A factor; inside a float expression an integer factor comes back converted.
    TValue Factor();
    TValue PlainFactor();
    TValue BinaryOp(uint8_t op, TValue left, TValue right);
    void ConvertPushedLeftToFloat();
    TValue NameFactor();
    // Calls FN (its name already read); OBJECT is the temporary holding the
    // object of a method call, or -1.
    TValue Call(int32_t fn, int32_t object = -1);
    struct TCallSite {
        int32_t fn = -1;
        bool stdcall = false;
        bool borrows = false; // a native: string arguments are lent
        std::vector<int32_t> argTemps; // counts to drop after the call
        int32_t resultTemp = -1; // receives a structure result
    };
    bool Argument(TCallSite& site, int32_t param, size_t index);
    void PlaceArgument(const TCallSite& site, int32_t param);
    void HiddenArguments(TCallSite& site, int32_t object);
    TValue CallAndResult(const TCallSite& site);
    // A variable, or inside a method a member of its structure.
    int32_t LookupName(const std::string& name, bool& viaThis) const;
    int32_t MethodStruct() const;
    void MethodPrototype(const std::string& name, const TDeclType& t, bool pointer);
    void MethodDefinition(int32_t structIndex, const TDeclType& t);
    void ParameterList(int32_t fn, int32_t owner);
    void InheritedCall();
    TValue MethodCall(int32_t method);
    TValue LoadDesignator(const TDesignator& d);
    bool Designator(int32_t entry, TDesignator& d, bool viaThis = false);
    // The variable after "++", "--", "*" or "&"; false after an error.
    bool PrefixedVariable(TDesignator& d);
    void VariableAddress(const TNameEntry& e);
    void FlushDisp(TDesignator& d);
    void StoreOwnedString(int32_t temp);
    void AddressOf(int32_t entry);
    TValue StringLiteral();
    TValue CoerceTo(TValue v, uint8_t type, bool pointer);
    TValue StructExpression(int32_t typeIndex);
    void OwnedStringResult();
    void OwnedStructResult(int32_t typeIndex);

    // Statements.
    void TopLevel();
    void Statement(bool needsTerminator);
    void StatementBody(bool needsTerminator);
    void Terminator(bool needed);
    void Body();
    void Block();
    void Assignment(int32_t entry, bool throughPointer, bool viaThis = false);
    void StoreInto(const TDesignator& d);
    // The target's address is on the stack, the new string value in EAX.
    void AssignStringFromStack(int32_t disp);
    void Condition();
    // "(" expression ")" with the value in EAX; false after an error.
    bool ParenExpression();
    void IfStatement();
    void WhileStatement();
    void DoStatement();
    void ForStatement();
    void SwitchStatement();
    void ReturnStatement();
    void GotoStatement();
    void UserLabel();
    void PrintStatement();
    void SizeofFactor();
    void OutputBlockStatement();
    void EnterLevel(const std::string& breakLabel, const std::string& continueLabel);
    void LeaveLevel();

    // Program frame.
    void EntryPrologue(const std::string& name);
    void EntryEpilogue();
    void CallStub(Stub stub);
    void MarkStub(Stub stub) { stubUsed_[stub] = true; }
    bool AtEnd() const { return end_ && token_ == tOther; }
    void EmitStubs();
    void EmitGlobals();

    TLumoScript& engine_;
    TCodeImage& image_;
    TX86Emitter emit_;
    const std::string& source_;

    // Scanner state.
    size_t pos_ = 0;
    char char_ = ' ';
    bool end_ = false;
    int32_t line_ = 0;
    int32_t column_ = 0;
    int32_t lastTextLine_ = 0, lastTextColumn_ = 0; // of the last character above a blank
    uint8_t token_ = tOther;
    std::string text_;
    std::string literal_;
    int64_t number_ = 0;
    float float_ = 0;
    bool error_ = false;
    int nesting_ = 0; // statements and expressions open inside each other
    static constexpr int kMaxNesting = 400;

    // Tables.
    std::vector<TNameEntry> names_;
    std::unordered_map<std::string, std::vector<int32_t>> globalIndex_; // name -> top-level entries
    std::unordered_map<std::string, std::vector<int32_t>> localIndex_; // the current function's
    std::vector<TTypeEntry> types_;
    int32_t labelCounter_ = 0;
    int32_t codeCounter_ = 0;

    // Code generation state.
    int32_t function_ = -1;
    std::string functionName_;
    std::vector<std::string> breakLabels_{"C_exit"};
    std::vector<std::string> continueLabels_{"C_exit"};
    int32_t switchDepth_ = 0; // switches open here, each with its selector on the stack
    bool stringContext_ = false; // a quoted literal is a string, not an integer
    bool floatExpression_ = false; // a float operand came earlier in this expression
    bool declaredFunction_ = false; // the last declaration defined a function
    int32_t struct_ = -1; // the structure whose body is being read
    bool stubUsed_[stCount] = {};
    std::string startExit_;
};

} // namespace kolvarin::script
