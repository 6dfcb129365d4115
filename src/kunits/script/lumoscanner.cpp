// The scanner: cuts the source into tokens one character at a time.
#include "script/lumocompiler.h"
#include "script/lumoscript.h"

namespace kolvarin::script {

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsNumberChar(char c)
{
    return IsDigit(c) || c == '.' || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f') || c == 'x' || c == 'X';
}

int HexDigit(char c)
{
    if (IsDigit(c))
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0;
}

} // namespace

void TLumoCompiler::ReadChar()
{
    if (FPos >= FSource.size()) {
        FEnd = true;
        FChar = ' ';
        return;
    }
    FChar = FSource[FPos++];
    if (FChar == '\n') {
        ++FLine;
        FColumn = 0;
    } else if (static_cast<unsigned char>(FChar) >= 33) {
        ++FColumn;
        FLastTextLine = FLine;
        FLastTextColumn = FColumn;
    }
}

void TLumoCompiler::Error(TLumoError code)
{
    if (FError)
        return; // the first error stops the compilation; later ones are its echoes
    FError = true;
    // At the end of the input the position is that of the last text read,
    // not a line past the source.
    if (FEnd)
        FEngine.Error(code, FLastTextLine, FLastTextColumn);
    else
        FEngine.Error(code, FLine, FColumn);
}

bool TLumoCompiler::Accept(uint8_t token)
{
    if (FToken != token)
        return false;
    Next();
    return true;
}

bool TLumoCompiler::Expect(uint8_t token, TLumoError errorCode)
{
    if (Accept(token))
        return true;
    Error(errorCode);
    return false;
}

void TLumoCompiler::Next()
{
    for (;;) {
        while (!FEnd && (FChar == 9 || FChar == 10 || FChar == 13 || FChar == 32))
            ReadChar();
        FLiteral.clear();
        FText.assign(1, FChar);
        if (FEnd) {
            FToken = tOther;
            return;
        }
        unsigned char u = static_cast<unsigned char>(FChar);
        if (u == 26) {
            FToken = tOther;
            Error(TLumoError::UnexpectedEnd);
            return;
        }
        if (u < 26 || u > 126) {
            FToken = tOther;
            return;
        }
        if (IsLetter(FChar))
            return ScanWord();
        if (IsDigit(FChar))
            return ScanNumber();
        if (FChar == '"' || FChar == '\'')
            return ScanLiteral();
        char c = FChar;
        if (c == '/') {
            ReadChar();
            if (!FEnd && FChar == '*') {
                ReadChar();
                char previous = 0;
                while (!FEnd && !(previous == '*' && FChar == '/')) {
                    previous = FChar;
                    ReadChar();
                }
                ReadChar();
                continue;
            }
            if (!FEnd && FChar == '/') {
                while (!FEnd && FChar != '\n')
                    ReadChar();
                continue;
            }
            FToken = tSlash;
            return;
        }
        auto pair = [this](char second, uint8_t both, uint8_t single) {
            ReadChar();
            if (!FEnd && FChar == second) {
                FText.push_back(second);
                ReadChar();
                FToken = both;
                return true;
            }
            FToken = single;
            return false;
        };
        switch (c) {
        case '+': pair('+', tInc, tPlus); return;
        case '-':
            if (!pair('-', tDec, tMinus) && !FEnd && FChar == '>') {
                ReadChar();
                FToken = tArrow;
            }
            return;
        case '&': pair('&', tAmp, tAmp); return;
        case '|': pair('|', tBar, tBar); return;
        case '!': pair('=', tBangEq, tBang); return;
        case '=': pair('=', tEq, tAssign); return;
        case ':': pair(':', tScope, tColon); return;
        case '<':
            ReadChar();
            if (!FEnd && (FChar == '=' || FChar == '>' || FChar == '<')) {
                FToken = FChar == '=' ? tLe : FChar == '>' ? tNe : tShl;
                ReadChar();
            } else {
                FToken = tLt;
            }
            return;
        case '>':
            ReadChar();
            if (!FEnd && (FChar == '=' || FChar == '>')) {
                FToken = FChar == '=' ? tGe : tShr;
                ReadChar();
            } else {
                FToken = tGt;
            }
            return;
        default: break;
        }
        static const struct {
            char c;
            uint8_t token;
        } singles[] = {{'(', tLParen},    {')', tRParen},   {'*', tStar},   {'%', tPercent}, {',', tComma},
                       {';', tSemicolon}, {'?', tQuestion}, {'{', tLBrace}, {'}', tRBrace},  {'[', tLBracket},
                       {']', tRBracket},  {'^', tCaret},    {'~', tTilde},  {'.', tDot}};
        for (const auto& s : singles) {
            if (s.c == c) {
                FToken = s.token;
                ReadChar();
                return;
            }
        }
        FToken = tOther; // not consumed: every parser context rejects it
        return;
    }
}

void TLumoCompiler::ScanWord()
{
    FText.clear();
    while (!FEnd && (IsLetter(FChar) || IsDigit(FChar))) {
        FText.push_back(FChar);
        ReadChar();
    }
    FToken = TokenOf(FText);
    // A name directly followed by ":" defines a label (a second definition of a
    // label is reported by the label statement).
    if ((FToken == tIdent || FToken == tUserLabel) && !FEnd && FChar == ':' &&
        (FPos >= FSource.size() || FSource[FPos] != ':') && FindStruct(FText) < 0) {
        ReadChar();
        FToken = tLabelDef;
    }
}

void TLumoCompiler::ScanNumber()
{
    FText.clear();
    uint64_t value = 0;
    uint64_t base = 10;
    bool isFloat = false;
    float fraction = 0, divisor = 10.0f;
    while (!FEnd && IsNumberChar(FChar)) {
        char c = FChar;
        if (c == 'x' || c == 'X') {
            base = 16;
        } else if (c == '.') {
            if (base == 16) {
                Error(TLumoError::HexadecimalFloat);
            } else {
                isFloat = true;
            }
            FText.push_back(c);
        } else {
            FText.push_back(c);
            if (isFloat) {
                if (IsDigit(c)) {
                    fraction += static_cast<float>(c - '0') / divisor;
                    divisor *= 10.0f;
                }
            } else if (base == 16) {
                value = value * 16 + static_cast<uint64_t>(HexDigit(c));
            } else if (IsDigit(c)) {
                value = value * 10 + static_cast<uint64_t>(c - '0');
            }
        }
        ReadChar();
    }
    FNumber = static_cast<int64_t>(value);
    FFloat = static_cast<float>(value) + fraction;
    FToken = isFloat ? tFloat : tInt;
}

void TLumoCompiler::ScanLiteral()
{
    char quote = FChar;
    ReadChar();
    while (!FEnd && FChar != quote) {
        char c = FChar;
        if (c == '\\') {
            ReadChar();
            if (FEnd)
                break;
            switch (FChar) {
            case 'r': c = 13; break;
            case 'n': c = 10; break;
            case 'B': c = 7; break;
            case 'u': c = 8; break;
            case 't': c = 9; break;
            case '0': c = 0; break;
            case 'x': {
                int value = 0;
                for (int i = 0; i < 2; ++i) {
                    ReadChar();
                    value = value * 16 + (FEnd ? 0 : HexDigit(FChar));
                }
                c = static_cast<char>(value);
                break;
            }
            default: c = FChar; break;
            }
        }
        FLiteral.push_back(c);
        ReadChar();
    }
    if (!FEnd)
        ReadChar();
    FToken = tLiteral;
}

void TLumoCompiler::SkipAsm()
{
    // The character right after "{" is never the closing brace.
    if (FToken != tLBrace)
        return;
    ReadChar();
    while (!FEnd && FChar != '}')
        ReadChar();
    ReadChar();
    Next();
}

} // namespace kolvarin::script
