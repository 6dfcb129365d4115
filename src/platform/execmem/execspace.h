#pragma once
// An emulated 32-bit x86 address space for compiled scripts.
//
// This machine runs 64-bit code only, so script code never runs natively: it is
// written into an emulated address space and run by a CPU emulator. The space
// holds a heap (code images, script strings, memory the script allocates), a
// stack and a page of host-function stubs. Host functions are C++ callables
// reached through those stubs; each stub pops its arguments (callee pops, as
// the generated code expects) and returns its result in EAX or on the FPU
// stack. Faults inside emulated code (division by zero, unmapped memory,
// invalid instructions, int3, time limit) end that call with an error text;
// they never reach the host process.
//
// Thread: one thread at a time. Calls are not re-entrant: a host function must
// not call back into emulated code.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

struct uc_struct;

namespace kolvarin::execmem {

// How a host function hands back its result.
enum class ResultKind { Void, Int, Float };

// Raised by memory accessors and host functions; inside a host function it
// ends the running call with its text.
class ExecFault : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ExecSpace;

// What a host function sees of the call: its 32-bit argument slots.
class HostCall {
public:
    HostCall(ExecSpace& space, uint32_t esp) : space_(space), esp_(esp) {}
    // Argument slot I, 0 being the first parameter (the value pushed last).
    uint32_t Arg(int i) const;
    float ArgFloat(int i) const;
    ExecSpace& Space() const { return space_; }

private:
    ExecSpace& space_;
    uint32_t esp_;
};

// Returns EAX for ResultKind::Int, the float's bit pattern for Float, ignored for Void.
using HostFunction = std::function<uint32_t(HostCall&)>;

struct CallResult {
    bool ok = false;
    uint32_t value = 0; // EAX
    float fvalue = 0; // ST0 for a float call
    std::string error; // empty when ok
};

class ExecSpace {
public:
    static constexpr uint32_t kStubBase = 0x00010000;
    static constexpr uint32_t kStubSize = 0x00010000;
    static constexpr uint32_t kStackBase = 0x00100000;
    static constexpr uint32_t kStackSize = 0x00100000;
    static constexpr uint32_t kHeapBase = 0x01000000;
    static constexpr uint32_t kHeapSize = 0x04000000;

    // Throws std::runtime_error when the emulator cannot be opened.
    ExecSpace();
    ~ExecSpace();
    ExecSpace(const ExecSpace&) = delete;
    ExecSpace& operator=(const ExecSpace&) = delete;

    // Heap. Allocate returns 0 when no block of that size is left (or size is
    // 0 or beyond the heap); the block is zero-filled. Free of 0 does nothing;
    // Free of an address that is not a live block returns false.
    uint32_t Allocate(uint64_t size);
    bool Free(uint32_t address);
    size_t LiveAllocations() const { return used_.size(); }

    // Library images live in mappings of their own, outside the heap, so their
    // pages can take their own access rights without touching the heap.
    // MapLibrary returns a zero-filled block of full rights on a 64 KiB
    // boundary, or 0 when the area has no room; UnmapLibrary releases it whole.
    static constexpr uint32_t kLibraryBase = 0x10000000;
    static constexpr uint32_t kLibrarySize = 0x10000000;
    uint32_t MapLibrary(uint64_t size);
    bool UnmapLibrary(uint32_t address);
    size_t LibraryMappings() const { return libraries_.size(); }
    // Access rights of whole 4096-byte pages inside one library mapping; false
    // for an unaligned range or one outside the mapping.
    bool Protect(uint32_t address, uint32_t size, bool read, bool write, bool execute);

    // Memory access; throws ExecFault for addresses outside the mapped space.
    void Read(uint32_t address, void* out, size_t count) const;
    void Write(uint32_t address, const void* data, size_t count);
    uint32_t Read32(uint32_t address) const;
    void Write32(uint32_t address, uint32_t value);
    uint8_t Read8(uint32_t address) const;
    // Zero-terminated text, at most maxLength characters.
    std::string ReadCString(uint32_t address, size_t maxLength = 1 << 20) const;
    // Tells the emulator that code in [address, address+count) changed.
    void CodeChanged(uint32_t address, size_t count);

    // Host functions. ArgBytes is what the stub pops. Returns the stub address.
    uint32_t AddHostFunction(const std::string& name, uint32_t argBytes, ResultKind kind, HostFunction fn);
    size_t HostFunctionCount() const { return hosts_.size(); }
    // Forgets the host functions registered after the first COUNT.
    void TruncateHostFunctions(size_t count);

    // Limits of one call: wall time in milliseconds (0 = none) and an
    // instruction budget (0 = none; counting instructions slows emulation).
    void SetLimits(uint32_t timeoutMs, uint64_t instructionBudget);

    // Calls the function at ADDRESS with ARGS pushed in the given order (the
    // first element is pushed first). A Float call reads the result from ST0.
    CallResult Call(uint32_t address, std::span<const uint32_t> args, ResultKind kind);

private:
    struct Host {
        std::string name;
        ResultKind kind;
        HostFunction fn;
    };
    static void CodeHook(uc_struct* uc, uint64_t address, uint32_t size, void* self);
    static void InterruptHook(uc_struct* uc, uint32_t intno, void* self);
    static bool InvalidMemoryHook(uc_struct* uc, int type, uint64_t address, int size, int64_t value, void* self);
    static bool InvalidInstructionHook(uc_struct* uc, void* self);
    void Stop(std::string error);
    void WriteStubPage();

    uc_struct* uc_ = nullptr;
    std::vector<Host> hosts_;
    std::map<uint32_t, uint32_t> free_; // start -> size
    std::map<uint32_t, uint32_t> used_; // start -> size
    std::map<uint32_t, uint32_t> libraries_; // start -> size
    uint32_t timeoutMs_ = 5000;
    uint64_t budget_ = 0;
    std::string stopError_;
    bool running_ = false;
    bool translated_ = false; // code may have been translated since the last flush
};

} // namespace kolvarin::execmem
