#include "script/lumoerrors.h"

#include <iterator>

namespace kolvarin::script {

std::string LumoErrorText(TLumoError code)
{
    static const char* const messages[] = {
        "'(' expected",
        "')' expected",
        "THEN expected",
        "Error in expression",
        "'==' expected",
        "'=' expected",
        "Unexpected file END",
        "Variable not defined",
        "Variable already defined",
        "Number value expected",
        "']' expected",
        "Variable isn't a array",
        "Identifier expected",
        "Error in function parameter definition",
        "Invalid function parameters",
        "Invalid function parameters",
        "'WHILE' expected",
        "';' expected",
        "'{' expected",
        "'}' expected",
        "Native function/procedure not found",
        "Native function/procedure is a null pointer",
        "'case' expected",
        "':' expected",
        "Code fix up error",
        "Struct not defined",
        "Type expected",
        "No struct",
        "Wrong type",
        "Float type expected",
        "Invalid float operation",
        "A float number cann't be heximal",
        "Preprocessor error",
        "Label already defined",
        "Label not found",
        "Label name as a variable already defined",
        "enum already defined",
        "enum object name already used",
        "string type expected",
        "string expected",
        "Illegal string operation",
        "Struct expected",
        "Illegal struct operation",
        "Struct, union or object statement expected",
        "Struct, union or object already defined",
        "Only in a method allowed",
        "No inherited call possible",
        "',' expected",
        "Import function/procedure not found",
        "Import function/procedure is a null pointer",
    };
    const int index = static_cast<int>(code) - static_cast<int>(TLumoError::OpenParenExpected);
    if (index < 0 || index >= static_cast<int>(std::size(messages)))
        return "Unknown error";
    return messages[index];
}

} // namespace kolvarin::script
