// The scanner: cuts the source into tokens one character at a time.
#include "script/lumocompiler.h"

#include <algorithm>

#include "base/hexdigit.h"
#include "script/lumoscript.h"

namespace kolvarin::script {

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsNumberChar(char c)
{
    return IsDigit(c) || c == '.' || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f') || c == 'x' || c == 'X';
}

// Anything but a digit counts as 0.
int HexDigit(char c) { return std::max(HexDigitValue(c), 0); }

} // namespace

void TLumoCompiler::ReadChar()
{
    if (pos_ >= source_.size()) {
        end_ = true;
        char_ = ' ';
        return;
    }
    char_ = source_[pos_++];
    if (char_ == '\n') {
        ++line_;
        column_ = 0;
    } else if (static_cast<unsigned char>(char_) >= 33) {
        ++column_;
        lastTextLine_ = line_;
        lastTextColumn_ = column_;
    }
}

void TLumoCompiler::Error(TLumoError code)
{
    if (error_)
        return; // the first error stops the compilation; later ones are its echoes
    error_ = true;
    // At the end of the input the position is that of the last text read,
    // not a line past the source.
    if (end_)
        engine_.Error(code, lastTextLine_, lastTextColumn_);
    else
        engine_.Error(code, line_, column_);
}

bool TLumoCompiler::Accept(uint8_t token)
{
    if (token_ != token)
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
        while (!end_ && (char_ == 9 || char_ == 10 || char_ == 13 || char_ == 32))
            ReadChar();
        literal_.clear();
        text_.assign(1, char_);
        if (end_) {
            token_ = tOther;
            return;
        }
        unsigned char u = static_cast<unsigned char>(char_);
        if (u == 26) {
            token_ = tOther;
            Error(TLumoError::UnexpectedEnd);
            return;
        }
        if (u < 26 || u > 126) {
            token_ = tOther;
            return;
        }
        if (IsLetter(char_))
            return ScanWord();
        if (IsDigit(char_))
            return ScanNumber();
        if (char_ == '"' || char_ == '\'')
            return ScanLiteral();
        char c = char_;
        if (c == '/') {
            ReadChar();
            if (!end_ && char_ == '*') {
                ReadChar();
                char previous = 0;
                while (!end_ && !(previous == '*' && char_ == '/')) {
                    previous = char_;
                    ReadChar();
                }
                ReadChar();
                continue;
            }
            if (!end_ && char_ == '/') {
                while (!end_ && char_ != '\n')
                    ReadChar();
                continue;
            }
            token_ = tSlash;
            return;
        }
        auto pair = [this](char second, uint8_t both, uint8_t single) {
            ReadChar();
            if (!end_ && char_ == second) {
                text_.push_back(second);
                ReadChar();
                token_ = both;
                return true;
            }
            token_ = single;
            return false;
        };
        switch (c) {
        case '+': pair('+', tInc, tPlus); return;
        case '-':
            if (!pair('-', tDec, tMinus) && !end_ && char_ == '>') {
                ReadChar();
                token_ = tArrow;
            }
            return;
        case '&': pair('&', tAmp, tAmp); return;
        case '|': pair('|', tBar, tBar); return;
        case '!': pair('=', tBangEq, tBang); return;
        case '=': pair('=', tEq, tAssign); return;
        case ':': pair(':', tScope, tColon); return;
        case '<':
            ReadChar();
            if (!end_ && (char_ == '=' || char_ == '>' || char_ == '<')) {
                token_ = char_ == '=' ? tLe : char_ == '>' ? tNe : tShl;
                ReadChar();
            } else {
                token_ = tLt;
            }
            return;
        case '>':
            ReadChar();
            if (!end_ && (char_ == '=' || char_ == '>')) {
                token_ = char_ == '=' ? tGe : tShr;
                ReadChar();
            } else {
                token_ = tGt;
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
                token_ = s.token;
                ReadChar();
                return;
            }
        }
        token_ = tOther; // not consumed: every parser context rejects it
        return;
    }
}

void TLumoCompiler::ScanWord()
{
    text_.clear();
    while (!end_ && (IsLetter(char_) || IsDigit(char_))) {
        text_.push_back(char_);
        ReadChar();
    }
    token_ = TokenOf(text_);
    // A name directly followed by ":" defines a label (a second definition of a
    // label is reported by the label statement).
    if ((token_ == tIdent || token_ == tUserLabel) && !end_ && char_ == ':' &&
        (pos_ >= source_.size() || source_[pos_] != ':') && FindStruct(text_) < 0) {
        ReadChar();
        token_ = tLabelDef;
    }
}

void TLumoCompiler::ScanNumber()
{
    text_.clear();
    uint64_t value = 0;
    uint64_t base = 10;
    bool isFloat = false;
    float fraction = 0, divisor = 10.0f;
    while (!end_ && IsNumberChar(char_)) {
        char c = char_;
        if (c == 'x' || c == 'X') {
            base = 16;
        } else if (c == '.') {
            if (base == 16) {
                Error(TLumoError::HexadecimalFloat);
            } else {
                isFloat = true;
            }
            text_.push_back(c);
        } else {
            text_.push_back(c);
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
    number_ = static_cast<int64_t>(value);
    float_ = static_cast<float>(value) + fraction;
    token_ = isFloat ? tFloat : tInt;
}

void TLumoCompiler::ScanLiteral()
{
    char quote = char_;
    ReadChar();
    while (!end_ && char_ != quote) {
        char c = char_;
        if (c == '\\') {
            ReadChar();
            if (end_)
                break;
            switch (char_) {
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
                    value = value * 16 + (end_ ? 0 : HexDigit(char_));
                }
                c = static_cast<char>(value);
                break;
            }
            default: c = char_; break;
            }
        }
        literal_.push_back(c);
        ReadChar();
    }
    if (!end_)
        ReadChar();
    token_ = tLiteral;
}

void TLumoCompiler::SkipAsm()
{
    // The character right after "{" is never the closing brace.
    if (token_ != tLBrace)
        return;
    ReadChar();
    while (!end_ && char_ != '}')
        ReadChar();
    ReadChar();
    Next();
}

} // namespace kolvarin::script
