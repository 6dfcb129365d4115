#pragma once
// The code image a compilation builds: machine code written at offsets from 0,
// the labels and fix-ups that the linker resolves, and the public functions
// and variables a host finds by name. Addresses of public entries are image
// offsets until linked.

#include <cstdint>
#include <string>
#include <vector>

namespace kolvarin::script {

enum class FixupKind : uint8_t {
    Relative = 0, // target - position + addend
    Absolute = 1, // target + addend + image base
    Rel32 = 2, // target - position - 4 + addend
    NativeAbsolute = 3, // the native's address
    NativeRel32 = 4, // native - (position + base) - 4
    ImportRel32 = 5, // import - (position + base) - 4
    Engine = 6, // the engine object
};

struct TLabel {
    std::string name;
    int32_t offset;
};

struct TFixup {
    FixupKind kind;
    std::string target;
    uint32_t position;
    int32_t addend;
};

struct TPublicEntry {
    std::string name;
    uint32_t address;
};

// Names in the tables are cut to 255 characters, as the cache file stores them.
std::string ShortName(const std::string& name);

class TCodeImage {
public:
    std::vector<uint8_t> code;
    std::vector<TLabel> labels;
    std::vector<TFixup> fixups;
    std::vector<TPublicEntry> publicFunctions;
    std::vector<TPublicEntry> publicVariables;
    uint32_t zeroAreaSize = 0;

    uint32_t Position() const { return static_cast<uint32_t>(code.size()); }
    void Byte(uint8_t b) { code.push_back(b); }
    void Bytes(std::initializer_list<uint8_t> bytes) { code.insert(code.end(), bytes); }
    void Word(uint16_t w);
    void DWord(uint32_t d);
    void Patch32(uint32_t position, uint32_t value);

    void AddPublicFunction(const std::string& name, const std::string& prefix);
    void AddPublicVariable(const std::string& name, const std::string& prefix);
    void DefineLabel(const std::string& name);
    // Each records a fix-up at the current position; the caller writes the placeholder.
    void AddLabelFixup(const std::string& name);
    void AddAbsoluteFixup(const std::string& name, int32_t addend);
    void AddNativeFixup(const std::string& name);
    void AddImportFixup(const std::string& name);
    void AddSelfFixup();

    void Clear();
};

} // namespace kolvarin::script
