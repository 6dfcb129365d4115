#include "script/lumortl.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <iostream>

#include "script/lumoscript.h"
#include "script/lumosupport.h"

namespace kolvarin::script {

using execmem::ExecFault;
using execmem::HostCall;
using execmem::ResultKind;

namespace {

uint32_t FloatBits(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

int32_t SignedArg(const HostCall& call, int i) { return static_cast<int32_t>(call.Arg(i)); }

// Scientific form of width 23: sign or blank, d.dddddddddddddd, E, sign, 4 digits.
std::string FloatText(float value)
{
    char text[64];
    snprintf(text, sizeof text, "%.14E", static_cast<double>(value));
    std::string s = text;
    size_t e = s.find('E');
    if (e == std::string::npos)
        return s; // inf or nan
    std::string mantissa = s.substr(0, e);
    char sign = s[e + 1];
    std::string digits = s.substr(e + 2);
    while (digits.size() < 4)
        digits.insert(digits.begin(), '0');
    if (mantissa[0] != '-')
        mantissa.insert(mantissa.begin(), ' ');
    return mantissa + "E" + sign + digits;
}

} // namespace

// ---- script strings ----

uint32_t TScriptStrings::New(uint32_t length)
{
    uint32_t block = space_.Allocate(uint64_t{length} + 9);
    if (!block)
        throw ExecFault("out of memory for a string of " + std::to_string(length) + " bytes");
    space_.Write32(block, 1);
    space_.Write32(block + 4, length);
    return block + 8;
}

uint32_t TScriptStrings::Make(const std::string& text)
{
    if (text.empty())
        return 0;
    uint32_t value = New(static_cast<uint32_t>(text.size()));
    space_.Write(value, text.data(), text.size());
    return value;
}

std::string TScriptStrings::Get(uint32_t value) const
{
    if (!value)
        return {};
    std::string text(Length(value), '\0');
    space_.Read(value, text.data(), text.size());
    return text;
}

uint32_t TScriptStrings::Length(uint32_t value) const { return value ? space_.Read32(value - 4) : 0; }

int32_t TScriptStrings::Count(uint32_t value) const
{
    return value ? static_cast<int32_t>(space_.Read32(value - 8)) : 0;
}

void TScriptStrings::Increase(uint32_t value)
{
    int32_t count = Count(value);
    if (value && count >= 0)
        space_.Write32(value - 8, static_cast<uint32_t>(count + 1));
}

void TScriptStrings::Decrease(uint32_t value)
{
    int32_t count = Count(value);
    if (!value || count < 0)
        return;
    if (count <= 1) {
        if (!space_.Free(value - 8))
            throw ExecFault("release of an invalid string");
    } else {
        space_.Write32(value - 8, static_cast<uint32_t>(count - 1));
    }
}

std::string ScriptStringToString(execmem::ExecSpace& space, uint32_t value) { return TScriptStrings(space).Get(value); }

uint32_t StringToScriptString(execmem::ExecSpace& space, const std::string& text)
{
    return TScriptStrings(space).Make(text);
}

void ReleaseScriptString(execmem::ExecSpace& space, uint32_t value) { TScriptStrings(space).Decrease(value); }

// ---- registration ----

TLumoRuntime::TLumoRuntime(TLumoScript& engine) : engine_(engine), strings_(engine.Space())
{
    RegisterInternals();
    RegisterLibrary();
    RegisterTextAndMemory();
    RegisterFiles();
}

TLumoRuntime::~TLumoRuntime() = default;

void TLumoRuntime::Add(const std::string& name, uint32_t argCount, ResultKind kind, execmem::HostFunction fn)
{
    natives_.push_back({name, engine_.Space().AddHostFunction(name, argCount * 4, kind, std::move(fn)), argCount});
}

void TLumoRuntime::AddDeclared(const std::string& prototype, const std::string& name, uint32_t argCount,
                               ResultKind kind, execmem::HostFunction fn)
{
    prototypes_.push_back(prototype);
    Add(name, argCount, kind, std::move(fn));
}

void TLumoRuntime::CloseFiles() { files_.clear(); }

std::fstream& TLumoRuntime::File(uint32_t handle)
{
    if (handle == 0 || handle > files_.size() || !files_[handle - 1])
        throw ExecFault("invalid file handle");
    return *files_[handle - 1];
}

void TLumoRuntime::RegisterInternals()
{
    auto print = [this](const HostCall& call, const std::string& text) {
        if (call.Arg(1) != 0)
            engine_.AppendOutput(text);
    };
    Add("RTL_OUTPUTBLOCK", 2, ResultKind::Int, [this](HostCall& c) {
        if (c.Arg(1) != 0)
            engine_.OutputBlock(SignedArg(c, 0));
        return 0u;
    });
    Add("RTL_PRINTF_STRING", 2, ResultKind::Void, [this, print](HostCall& c) {
        print(c, strings_.Get(c.Arg(0)));
        return 0u;
    });
    Add("RTL_PRINTF_NUMBER_SIGNED", 2, ResultKind::Void, [print](HostCall& c) {
        print(c, std::to_string(SignedArg(c, 0)));
        return 0u;
    });
    Add("RTL_PRINTF_NUMBER_UNSIGNED", 2, ResultKind::Void, [print](HostCall& c) {
        print(c, std::to_string(c.Arg(0)));
        return 0u;
    });
    Add("RTL_PRINTF_PCHAR", 2, ResultKind::Void, [this, print](HostCall& c) {
        if (c.Arg(0))
            print(c, engine_.Space().ReadCString(c.Arg(0)));
        return 0u;
    });
    Add("RTL_PRINTF_CHAR", 2, ResultKind::Void, [print](HostCall& c) {
        print(c, std::string(1, static_cast<char>(c.Arg(0))));
        return 0u;
    });
    Add("RTL_PRINTF_FLOAT", 2, ResultKind::Void, [print](HostCall& c) {
        print(c, FloatText(c.ArgFloat(0)));
        return 0u;
    });
    Add("RTL_STRING_NEW", 1, ResultKind::Int, [this](HostCall& c) { return strings_.New(c.Arg(0)); });
    Add("RTL_STRING_INCREASE", 1, ResultKind::Int, [this](HostCall& c) {
        strings_.Increase(c.Arg(0));
        return c.Arg(0);
    });
    Add("RTL_STRING_DECREASE", 1, ResultKind::Int, [this](HostCall& c) {
        uint32_t value = c.Arg(0);
        bool constant = value && strings_.Count(value) < 0;
        strings_.Decrease(value);
        return constant ? value : 0u;
    });
    Add("RTL_STRING_ASSIGN", 2, ResultKind::Int, [this](HostCall& c) {
        strings_.Increase(c.Arg(1));
        strings_.Decrease(c.Arg(0));
        return c.Arg(1);
    });
    Add("RTL_STRING_LENGTH", 1, ResultKind::Int, [this](HostCall& c) { return strings_.Length(c.Arg(0)); });
    Add("RTL_STRING_SETLENGTH", 2, ResultKind::Int, [this](HostCall& c) {
        uint32_t length = c.Arg(0), variable = c.Arg(1);
        execmem::ExecSpace& space = engine_.Space();
        uint32_t old = space.Read32(variable);
        if (length == 0) {
            strings_.Decrease(old);
            space.Write32(variable, 0);
            return 0u;
        }
        if (old && strings_.Length(old) == length && strings_.Count(old) == 1) {
            uint8_t nul = 0;
            space.Write(old + length, &nul, 1);
            return old;
        }
        uint32_t fresh = strings_.New(length);
        std::string text = strings_.Get(old);
        space.Write(fresh, text.data(), std::min<size_t>(text.size(), length));
        strings_.Decrease(old);
        space.Write32(variable, fresh);
        return fresh;
    });
    Add("RTL_STRING_UNIQUE", 1, ResultKind::Int, [this](HostCall& c) {
        uint32_t value = c.Arg(0);
        if (!value || strings_.Count(value) == 1)
            return value;
        uint32_t copy = strings_.Make(strings_.Get(value));
        strings_.Decrease(value);
        return copy;
    });
    Add("RTL_STRING_CHARCONVERT", 1, ResultKind::Int,
        [this](HostCall& c) { return strings_.Make(std::string(1, static_cast<char>(c.Arg(0)))); });
    Add("RTL_STRING_GET", 2, ResultKind::Int, [this](HostCall& c) {
        strings_.Decrease(c.Arg(0));
        return strings_.Make(strings_.Get(c.Arg(1)));
    });
    Add("RTL_STRING_CONCAT", 3, ResultKind::Int, [this](HostCall& c) {
        uint32_t right = c.Arg(1), left = c.Arg(2);
        strings_.Decrease(c.Arg(0));
        if (!left || !right) {
            uint32_t only = left ? left : right;
            strings_.Increase(only);
            return only;
        }
        return strings_.Make(strings_.Get(left) + strings_.Get(right));
    });
    Add("RTL_STRING_SELF_CONCAT", 2, ResultKind::Int, [this](HostCall& c) {
        uint32_t appended = c.Arg(0), variable = c.Arg(1);
        if (!variable) {
            strings_.Increase(appended);
            return appended;
        }
        if (!appended)
            return variable;
        uint32_t fresh = strings_.Make(strings_.Get(variable) + strings_.Get(appended));
        strings_.Decrease(variable);
        return fresh;
    });
    Add("RTL_STRING_COMPARE", 2, ResultKind::Int, [this](HostCall& c) {
        std::string right = strings_.Get(c.Arg(0)), left = strings_.Get(c.Arg(1));
        size_t common = std::min(left.size(), right.size());
        for (size_t i = 0; i < common; ++i) {
            if (left[i] != right[i])
                return static_cast<uint32_t>(static_cast<int32_t>(static_cast<uint8_t>(left[i])) -
                                             static_cast<uint8_t>(right[i]));
        }
        return static_cast<uint32_t>(static_cast<int32_t>(left.size()) - static_cast<int32_t>(right.size()));
    });
}

void TLumoRuntime::RegisterLibrary()
{
    auto unaryFloat = [this](const std::string& name, float (*fn)(float)) {
        AddDeclared("native float " + name + "(float number);", name, 1, ResultKind::Float,
                    [fn](HostCall& c) { return FloatBits(fn(c.ArgFloat(0))); });
    };
    AddDeclared("native int round(float number);", "round", 1, ResultKind::Int,
                [](HostCall& c) { return static_cast<uint32_t>(static_cast<int32_t>(std::nearbyint(c.ArgFloat(0)))); });
    AddDeclared("native int trunc(float number);", "trunc", 1, ResultKind::Int,
                [](HostCall& c) { return static_cast<uint32_t>(static_cast<int32_t>(std::trunc(c.ArgFloat(0)))); });
    unaryFloat("sin", [](float x) { return std::sin(x); });
    unaryFloat("cos", [](float x) { return std::cos(x); });
    unaryFloat("abs", [](float x) { return std::fabs(x); });
    unaryFloat("frac", [](float x) { return x - std::trunc(x); });
    unaryFloat("exp", [](float x) { return std::exp(x); });
    unaryFloat("ln", [](float x) { return std::log(x); });
    unaryFloat("sqr", [](float x) { return x * x; });
    unaryFloat("sqrt", [](float x) { return std::sqrt(x); });
    AddDeclared("native float random();", "random", 0, ResultKind::Float,
                [](HostCall&) { return FloatBits(RandomFloat()); });
    AddDeclared("native float rand();", "rand", 0, ResultKind::Float,
                [](HostCall&) { return FloatBits(RandomFloat()); });
    AddDeclared("native float pi();", "pi", 0, ResultKind::Float, [](HostCall&) { return FloatBits(3.1415927f); });
    // Console input: the host has no console of its own; these read the
    // process's standard input and give 0 or empty at its end.
    AddDeclared("native float readfloat();", "readfloat", 0, ResultKind::Float, [](HostCall&) {
        float value = 0;
        if (!(std::cin >> value))
            std::cin.clear();
        return FloatBits(value);
    });
    AddDeclared("native int readint();", "readint", 0, ResultKind::Int, [](HostCall&) {
        int32_t value = 0;
        if (!(std::cin >> value))
            std::cin.clear();
        return static_cast<uint32_t>(value);
    });
    AddDeclared("native unsigned int readuint();", "readuint", 0, ResultKind::Int, [](HostCall&) {
        uint32_t value = 0;
        if (!(std::cin >> value))
            std::cin.clear();
        return value;
    });
    AddDeclared("native string readstring();", "readstring", 0, ResultKind::Int, [this](HostCall&) {
        std::string line;
        std::getline(std::cin, line);
        return strings_.Make(line);
    });
    AddDeclared("native unsigned char readchar();", "readchar", 0, ResultKind::Int, [](HostCall&) {
        int c = std::cin.get();
        return c == EOF ? 0u : static_cast<uint32_t>(c & 0xFF);
    });
    AddDeclared("native void readln();", "readln", 0, ResultKind::Void, [](HostCall&) {
        std::string line;
        std::getline(std::cin, line);
        return 0u;
    });
    AddDeclared("native void flushin();", "flushin", 0, ResultKind::Void, [](HostCall&) {
        std::cin.sync();
        return 0u;
    });
    AddDeclared("native void flush();", "flush", 0, ResultKind::Void, [](HostCall&) {
        std::cout.flush();
        return 0u;
    });
    AddDeclared("native void flushout();", "flushout", 0, ResultKind::Void, [](HostCall&) {
        std::cout.flush();
        return 0u;
    });
}

void TLumoRuntime::RegisterTextAndMemory()
{
    execmem::ExecSpace& space = engine_.Space();
    AddDeclared("native string trim(string src);", "trim", 1, ResultKind::Int,
                [this](HostCall& c) { return strings_.Make(Trim(strings_.Get(c.Arg(0)))); });
    AddDeclared("native string copy(string src,int index,int count);", "copy", 3, ResultKind::Int, [this](HostCall& c) {
        std::string src = strings_.Get(c.Arg(2));
        int64_t index = std::max<int64_t>(0, SignedArg(c, 1)), count = SignedArg(c, 0);
        int64_t length = static_cast<int64_t>(src.size());
        if (index + count <= length)
            return count < 1 ? 0u : strings_.Make(src.substr(index, count));
        return index >= length ? 0u : strings_.Make(src.substr(index));
    });
    AddDeclared("native int length(string src);", "length", 1, ResultKind::Int,
                [this](HostCall& c) { return strings_.Length(c.Arg(0)); });
    AddDeclared("native unsigned char charat(string src,int index);", "charat", 2, ResultKind::Int,
                [this, &space](HostCall& c) {
                    uint32_t src = c.Arg(1), index = c.Arg(0);
                    return index < strings_.Length(src) ? uint32_t{space.Read8(src + index)} : 0u;
                });
    AddDeclared("native unsigned int charpointerat(string src,int index);", "charpointerat", 2, ResultKind::Int,
                [this](HostCall& c) {
                    uint32_t src = c.Arg(1), index = c.Arg(0);
                    return index < strings_.Length(src) ? src + index : 0u;
                });
    AddDeclared("native string delete(string src,int index,int count);", "delete", 3, ResultKind::Int,
                [this](HostCall& c) {
                    uint32_t srcValue = c.Arg(2);
                    std::string src = strings_.Get(srcValue);
                    int64_t index = SignedArg(c, 1), count = SignedArg(c, 0), length = static_cast<int64_t>(src.size());
                    if (src.empty() || index < 0 || index >= length || count <= 0) {
                        strings_.Increase(srcValue);
                        return srcValue;
                    }
                    src.erase(index, std::min(count, length - index));
                    return strings_.Make(src);
                });
    AddDeclared("native string insert(string src,string dst,int index);", "insert", 3, ResultKind::Int,
                [this](HostCall& c) {
                    uint32_t srcValue = c.Arg(2), dstValue = c.Arg(1);
                    std::string src = strings_.Get(srcValue), dst = strings_.Get(dstValue);
                    if (src.empty() || dst.empty()) {
                        uint32_t only = src.empty() ? dstValue : srcValue;
                        strings_.Increase(only);
                        return only;
                    }
                    int64_t index = std::clamp<int64_t>(SignedArg(c, 0), 0, static_cast<int64_t>(dst.size()));
                    return strings_.Make(dst.substr(0, index) + src + dst.substr(index));
                });
    AddDeclared("native string setstring(char *src,int srclength);", "setstring", 2, ResultKind::Int,
                [this, &space](HostCall& c) {
                    int32_t length = SignedArg(c, 0);
                    if (length < 1)
                        return 0u;
                    std::string text(static_cast<size_t>(length), '\0');
                    space.Read(c.Arg(1), text.data(), text.size());
                    return strings_.Make(text);
                });
    AddDeclared("native string lowercase(string src);", "lowercase", 1, ResultKind::Int,
                [this](HostCall& c) { return strings_.Make(LowerCase(strings_.Get(c.Arg(0)))); });
    AddDeclared("native string uppercase(string src);", "uppercase", 1, ResultKind::Int,
                [this](HostCall& c) { return strings_.Make(UpperCase(strings_.Get(c.Arg(0)))); });
    AddDeclared("native unsigned char locase(unsigned int src);", "locase", 1, ResultKind::Int, [](HostCall& c) {
        uint32_t v = c.Arg(0);
        return v >= 'A' && v <= 'Z' ? v + 32 : v;
    });
    AddDeclared("native unsigned char upcase(unsigned int src);", "upcase", 1, ResultKind::Int, [](HostCall& c) {
        uint32_t v = c.Arg(0);
        return v >= 'a' && v <= 'z' ? v - 32 : v;
    });
    auto find = [this](HostCall& c, bool ignoreCase) {
        std::string sub = strings_.Get(c.Arg(2)), str = strings_.Get(c.Arg(1));
        int64_t first = std::max<int64_t>(0, SignedArg(c, 0));
        if (sub.empty() || first >= static_cast<int64_t>(str.size()))
            return 0xFFFFFFFFu;
        if (ignoreCase) {
            sub = UpperCase(sub);
            str = UpperCase(str);
        }
        size_t at = str.find(sub, static_cast<size_t>(first));
        return at == std::string::npos ? 0xFFFFFFFFu : static_cast<uint32_t>(at);
    };
    AddDeclared("native int pos(string substr,string str,int first);", "pos", 3, ResultKind::Int,
                [find](HostCall& c) { return find(c, false); });
    AddDeclared("native int posex(string substr,string str,int first);", "posex", 3, ResultKind::Int,
                [find](HostCall& c) { return find(c, true); });
    AddDeclared("native string inttostr(int number,int digits);", "inttostr", 2, ResultKind::Int, [this](HostCall& c) {
        std::string text = std::to_string(SignedArg(c, 1));
        int32_t digits = SignedArg(c, 0);
        if (digits > static_cast<int32_t>(text.size()) && digits < (1 << 20))
            text.insert(0, static_cast<size_t>(digits) - text.size(), '0');
        return strings_.Make(text);
    });
    auto allocate = [&space](HostCall& c) {
        int32_t size = SignedArg(c, 0);
        return size > 0 ? space.Allocate(static_cast<uint64_t>(size)) : 0u;
    };
    auto release = [&space](HostCall& c) {
        if (!space.Free(c.Arg(0)))
            throw ExecFault("release of an invalid memory block");
        return 0u;
    };
    AddDeclared("native unsigned int getmem(int size);", "getmem", 1, ResultKind::Int, allocate);
    AddDeclared("native void freemem(void *datapointer);", "freemem", 1, ResultKind::Void, release);
    AddDeclared("native unsigned int malloc(int size);", "malloc", 1, ResultKind::Int, allocate);
    AddDeclared("native void free(void *datapointer);", "free", 1, ResultKind::Void, release);
}

void TLumoRuntime::RegisterFiles()
{
    execmem::ExecSpace& space = engine_.Space();
    auto open = [this](const std::string& name, std::ios::openmode mode) -> uint32_t {
        auto file = std::make_unique<std::fstream>(name, mode | std::ios::binary);
        if (!file->is_open())
            return 0;
        files_.push_back(std::move(file));
        return static_cast<uint32_t>(files_.size());
    };
    AddDeclared("native unsigned int fileopen(string filename);", "fileopen", 1, ResultKind::Int,
                [this, open](HostCall& c) { return open(strings_.Get(c.Arg(0)), std::ios::in); });
    AddDeclared("native unsigned int filecreate(string filename);", "filecreate", 1, ResultKind::Int,
                [this, open](HostCall& c) {
                    return open(strings_.Get(c.Arg(0)), std::ios::in | std::ios::out | std::ios::trunc);
                });
    AddDeclared("native void fileclose(void *filepointer);", "fileclose", 1, ResultKind::Void, [this](HostCall& c) {
        File(c.Arg(0));
        files_[c.Arg(0) - 1].reset();
        return 0u;
    });
    auto size = [](std::fstream& f) {
        f.clear();
        auto at = f.tellg();
        f.seekg(0, std::ios::end);
        auto end = f.tellg();
        f.seekg(at);
        return static_cast<int64_t>(end);
    };
    AddDeclared("native int fileseek(void *filepointer,int position);", "fileseek", 2, ResultKind::Int,
                [this](HostCall& c) {
                    std::fstream& f = File(c.Arg(1));
                    f.clear();
                    f.seekg(SignedArg(c, 0));
                    f.seekp(SignedArg(c, 0));
                    return static_cast<uint32_t>(f.tellg());
                });
    AddDeclared("native int fileposition(void *filepointer);", "fileposition", 1, ResultKind::Int, [this](HostCall& c) {
        std::fstream& f = File(c.Arg(0));
        f.clear();
        return static_cast<uint32_t>(f.tellg());
    });
    AddDeclared("native int filesize(void *filepointer);", "filesize", 1, ResultKind::Int,
                [this, size](HostCall& c) { return static_cast<uint32_t>(size(File(c.Arg(0)))); });
    AddDeclared("native int fileeof(void *filepointer);", "fileeof", 1, ResultKind::Int, [this, size](HostCall& c) {
        std::fstream& f = File(c.Arg(0));
        int64_t total = size(f);
        f.clear();
        return static_cast<int64_t>(f.tellg()) >= total ? 1u : 0u;
    });
    AddDeclared("native int fileread(void *filepointer,char *buffer,int counter);", "fileread", 3, ResultKind::Int,
                [this, &space](HostCall& c) {
                    std::fstream& f = File(c.Arg(2));
                    int32_t count = SignedArg(c, 0);
                    if (count <= 0)
                        return 0u;
                    std::string data(static_cast<size_t>(std::min(count, 1 << 26)), '\0');
                    f.clear();
                    f.read(data.data(), static_cast<std::streamsize>(data.size()));
                    size_t got = static_cast<size_t>(f.gcount());
                    space.Write(c.Arg(1), data.data(), got);
                    f.seekp(f.tellg());
                    return static_cast<uint32_t>(got);
                });
    AddDeclared("native int filewrite(void *filepointer,char *buffer,int counter);", "filewrite", 3, ResultKind::Int,
                [this, &space](HostCall& c) {
                    std::fstream& f = File(c.Arg(2));
                    int32_t count = SignedArg(c, 0);
                    if (count <= 0)
                        return 0u;
                    std::string data(static_cast<size_t>(std::min(count, 1 << 26)), '\0');
                    space.Read(c.Arg(1), data.data(), data.size());
                    f.clear();
                    f.write(data.data(), static_cast<std::streamsize>(data.size()));
                    f.seekg(f.tellp());
                    return f ? static_cast<uint32_t>(data.size()) : 0u;
                });
    AddDeclared("native string filereadline(void *filepointer);", "filereadline", 1, ResultKind::Int,
                [this](HostCall& c) {
                    std::fstream& f = File(c.Arg(0));
                    std::string line;
                    f.clear();
                    std::getline(f, line);
                    if (!line.empty() && line.back() == '\r')
                        line.pop_back();
                    return strings_.Make(line);
                });
    AddDeclared("native void filewriteline(void *filepointer,string str);", "filewriteline", 2, ResultKind::Void,
                [this](HostCall& c) {
                    std::fstream& f = File(c.Arg(1));
                    f.clear();
                    f << strings_.Get(c.Arg(0)) << "\r\n";
                    return 0u;
                });
    AddDeclared("native unsigned int gettickcount();", "gettickcount", 0, ResultKind::Int, [](HostCall&) {
        return static_cast<uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
                .count());
    });
    AddDeclared("native int exec(string filename,string parameter);", "exec", 2, ResultKind::Int,
                [this](HostCall& c) { return ExecAndWait(strings_.Get(c.Arg(1)), strings_.Get(c.Arg(0))) ? 1u : 0u; });
    AddDeclared("native string inttobase(int value,int base);", "inttobase", 2, ResultKind::Int,
                [this](HostCall& c) { return strings_.Make(IntToBase(SignedArg(c, 1), SignedArg(c, 0))); });
    AddDeclared("native string inttohex(int value);", "inttohex", 1, ResultKind::Int,
                [this](HostCall& c) { return strings_.Make(IntToHex(SignedArg(c, 0))); });
    AddDeclared("native string uinttobase(unsigned int value,unsigned int base);", "uinttobase", 2, ResultKind::Int,
                [this](HostCall& c) { return strings_.Make(UIntToBase(c.Arg(1), c.Arg(0))); });
    AddDeclared("native string uinttohex(unsigned int value);", "uinttohex", 1, ResultKind::Int,
                [this](HostCall& c) { return strings_.Make(UIntToHex(c.Arg(0))); });
}

} // namespace kolvarin::script
