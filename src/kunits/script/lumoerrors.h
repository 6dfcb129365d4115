#pragma once

// The error codes of the script engine (compiler, preprocessor, linker) and
// their one table of texts. The numbers are the design's; codes without a
// text read "Unknown error".

#include <string>

namespace kolvarin::script {

enum class TLumoError : int {
    UnknownStatement = 4,
    OpenParenExpected = 5,
    CloseParenExpected = 6,
    ThenExpected = 7,
    ExpressionError = 8,
    EqualityExpected = 9,
    AssignmentExpected = 10,
    UnexpectedEnd = 11,
    VariableNotDefined = 12,
    VariableAlreadyDefined = 13,
    NumberExpected = 14,
    CloseBracketExpected = 15,
    NotAnArray = 16,
    IdentifierExpected = 17,
    ParameterDefinition = 18,
    ArgumentCount = 19,
    ArgumentList = 20,
    WhileExpected = 21,
    SemicolonExpected = 22,
    OpenBraceExpected = 23,
    CloseBraceExpected = 24,
    NativeNotFound = 25,
    NativeIsNull = 26,
    CaseExpected = 27,
    ColonExpected = 28,
    FixupError = 29,
    StructNotDefined = 30,
    TypeExpected = 31,
    NoStruct = 32,
    WrongType = 33,
    FloatExpected = 34,
    InvalidFloatOperation = 35,
    HexadecimalFloat = 36,
    PreprocessorError = 37,
    LabelAlreadyDefined = 38,
    LabelNotFound = 39,
    LabelIsVariable = 40,
    EnumAlreadyDefined = 41,
    EnumNameUsed = 42,
    StringTypeExpected = 43,
    StringExpected = 44,
    IllegalStringOperation = 45,
    StructExpected = 46,
    IllegalStructOperation = 47,
    StructStatementExpected = 48,
    StructAlreadyDefined = 49,
    OnlyInMethod = 50,
    NoInheritedCall = 51,
    CommaExpected = 52,
    ImportNotFound = 53,
    ImportIsNull = 54,
};

// The message of a code: "'(' expected", ...; "Unknown error" for the rest.
std::string LumoErrorText(TLumoError code);

} // namespace kolvarin::script
