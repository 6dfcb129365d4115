#pragma once
// The run-time library: the RTL_ entry points the generated code calls for
// printing and string handling, and the library natives scripts call by name.
// All of them are host functions behind stubs in the engine's address space.
//
// Ownership of script strings, one rule for compiled code and natives alike:
// every variable, parameter and compiler temporary that holds a string owns
// one count of it, and a value in a register is borrowed from its owner. A
// caller gives a script function one count per string argument, which the
// parameter owns and releases at return; a native borrows its string
// arguments while the caller keeps a count for the call. A string result
// carries one count for the caller.

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "execmem/execspace.h"

namespace kolvarin::script {

class TLumoScript;

// Script string operations on one address space.
class TScriptStrings {
public:
    explicit TScriptStrings(execmem::ExecSpace& space) : space_(space) {}
    uint32_t New(uint32_t length); // zero-filled, count 1; throws ExecFault when out of memory
    uint32_t Make(const std::string& text); // 0 for empty text
    std::string Get(uint32_t value) const;
    uint32_t Length(uint32_t value) const;
    int32_t Count(uint32_t value) const;
    void Increase(uint32_t value);
    void Decrease(uint32_t value); // frees at 0; throws ExecFault for a value that is no live string

private:
    execmem::ExecSpace& space_;
};

struct TBuiltinNative {
    std::string name;
    uint32_t address;
    uint32_t argCount; // 32-bit slots the native pops
};

class TLumoRuntime {
public:
    // Registers every built-in native as a host function of the engine's space.
    explicit TLumoRuntime(TLumoScript& engine);
    ~TLumoRuntime();
    const std::vector<TBuiltinNative>& Natives() const { return natives_; }
    // The built-in prototypes, in registration order.
    const std::vector<std::string>& Prototypes() const { return prototypes_; }
    // Closes every file the script left open.
    void CloseFiles();

private:
    void RegisterInternals();
    void RegisterLibrary();
    void RegisterTextAndMemory();
    void RegisterFiles();
    void Add(const std::string& name, uint32_t argCount, execmem::ResultKind kind, execmem::HostFunction fn);
    void AddDeclared(const std::string& prototype, const std::string& name, uint32_t argCount, execmem::ResultKind kind,
                     execmem::HostFunction fn);
    std::fstream& File(uint32_t handle);

    TLumoScript& engine_;
    TScriptStrings strings_;
    std::vector<TBuiltinNative> natives_;
    std::vector<std::string> prototypes_;
    std::vector<std::unique_ptr<std::fstream>> files_;
};

} // namespace kolvarin::script
