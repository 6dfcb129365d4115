#include "execmem/execspace.h"

#include <unicorn/unicorn.h>

#include <cstring>

#include "base/bytereader.h"

namespace kolvarin::execmem {

namespace {

// Stub page layout: two return points, two float cells, then the stubs.
constexpr uint32_t kIntReturn = ExecSpace::kStubBase;
constexpr uint32_t kFloatReturn = ExecSpace::kStubBase + 0x10;
constexpr uint32_t kFloatReturnEnd = kFloatReturn + 6;
constexpr uint32_t kResultCell = ExecSpace::kStubBase + 0x80; // ST0 of a float call
constexpr uint32_t kHostFloatCell = ExecSpace::kStubBase + 0x84;
constexpr uint32_t kFirstStub = ExecSpace::kStubBase + 0x100;
constexpr uint32_t kStubStride = 16;
constexpr size_t kMaxStubs = (ExecSpace::kStubSize - 0x100) / kStubStride;

std::string Hex(uint64_t value)
{
    char text[24];
    snprintf(text, sizeof text, "%08llX", static_cast<unsigned long long>(value));
    return text;
}

} // namespace

uint32_t HostCall::Arg(int i) const { return space_.Read32(esp_ + 4 + 4 * static_cast<uint32_t>(i)); }

float HostCall::ArgFloat(int i) const
{
    uint32_t bits = Arg(i);
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

ExecSpace::ExecSpace()
{
    if (uc_open(UC_ARCH_X86, UC_MODE_32, &uc_) != UC_ERR_OK)
        throw std::runtime_error("cannot open the x86 emulator");
    if (uc_mem_map(uc_, kStubBase, kStubSize, UC_PROT_ALL) != UC_ERR_OK ||
        uc_mem_map(uc_, kStackBase, kStackSize, UC_PROT_READ | UC_PROT_WRITE) != UC_ERR_OK ||
        uc_mem_map(uc_, kHeapBase, kHeapSize, UC_PROT_ALL) != UC_ERR_OK) {
        uc_close(uc_);
        throw std::runtime_error("cannot map the emulated address space");
    }
    free_[kHeapBase] = kHeapSize;
    WriteStubPage();
    uc_hook hook;
    uc_hook_add(uc_, &hook, UC_HOOK_CODE, reinterpret_cast<void*>(&CodeHook), this, kFirstStub,
                kStubBase + kStubSize - 1);
    uc_hook_add(uc_, &hook, UC_HOOK_INTR, reinterpret_cast<void*>(&InterruptHook), this, 1, 0);
    uc_hook_add(uc_, &hook, UC_HOOK_MEM_INVALID, reinterpret_cast<void*>(&InvalidMemoryHook), this, 1, 0);
    uc_hook_add(uc_, &hook, UC_HOOK_INSN_INVALID, reinterpret_cast<void*>(&InvalidInstructionHook), this, 1, 0);
}

ExecSpace::~ExecSpace() { uc_close(uc_); }

void ExecSpace::WriteStubPage()
{
    const uint8_t hlt = 0xF4;
    Write(kIntReturn, &hlt, 1);
    uint8_t fstp[7] = {0xD9, 0x1D, 0, 0, 0, 0, 0xF4}; // fstp dword [kResultCell]; hlt
    std::memcpy(fstp + 2, &kResultCell, 4);
    Write(kFloatReturn, fstp, sizeof fstp);
}

uint32_t ExecSpace::Allocate(uint64_t size)
{
    if (size == 0 || size > kHeapSize)
        return 0;
    uint32_t need = static_cast<uint32_t>((size + 15) & ~uint64_t{15});
    for (auto it = free_.begin(); it != free_.end(); ++it) {
        if (it->second < need)
            continue;
        uint32_t start = it->first;
        uint32_t rest = it->second - need;
        free_.erase(it);
        if (rest)
            free_[start + need] = rest;
        used_[start] = need;
        std::vector<uint8_t> zero(need);
        Write(start, zero.data(), need);
        return start;
    }
    return 0;
}

bool ExecSpace::Free(uint32_t address)
{
    if (address == 0)
        return true;
    auto used = used_.find(address);
    if (used == used_.end())
        return false;
    uint32_t start = used->first, size = used->second;
    used_.erase(used);
    auto next = free_.lower_bound(start);
    if (next != free_.end() && start + size == next->first) {
        size += next->second;
        next = free_.erase(next);
    }
    if (next != free_.begin()) {
        auto prev = std::prev(next);
        if (prev->first + prev->second == start) {
            prev->second += size;
            return true;
        }
    }
    free_[start] = size;
    return true;
}

uint32_t ExecSpace::MapLibrary(uint64_t size)
{
    constexpr uint64_t kGranule = 0x10000;
    if (size == 0 || size > kLibrarySize)
        return 0;
    uint64_t need = (size + kGranule - 1) / kGranule * kGranule;
    uint64_t start = kLibraryBase;
    for (const auto& [at, length] : libraries_) {
        if (at - start >= need)
            break;
        start = uint64_t(at) + length;
    }
    if (start + need > uint64_t(kLibraryBase) + kLibrarySize)
        return 0;
    if (uc_mem_map(uc_, start, need, UC_PROT_ALL) != UC_ERR_OK)
        return 0;
    libraries_[static_cast<uint32_t>(start)] = static_cast<uint32_t>(need);
    return static_cast<uint32_t>(start);
}

bool ExecSpace::UnmapLibrary(uint32_t address)
{
    auto it = libraries_.find(address);
    if (it == libraries_.end())
        return false;
    uc_mem_unmap(uc_, it->first, it->second);
    libraries_.erase(it);
    return true;
}

bool ExecSpace::Protect(uint32_t address, uint32_t size, bool read, bool write, bool execute)
{
    if ((address | size) & 0xFFF || size == 0)
        return false;
    auto it = libraries_.upper_bound(address);
    if (it == libraries_.begin())
        return false;
    --it;
    if (uint64_t(address) + size > uint64_t(it->first) + it->second)
        return false;
    uint32_t perms = (read ? UC_PROT_READ : 0) | (write ? UC_PROT_WRITE : 0) | (execute ? UC_PROT_EXEC : 0);
    return uc_mem_protect(uc_, address, size, perms) == UC_ERR_OK;
}

void ExecSpace::Read(uint32_t address, void* out, size_t count) const
{
    if (count == 0)
        return;
    if (uc_mem_read(uc_, address, out, count) != UC_ERR_OK)
        throw ExecFault("invalid memory read at $" + Hex(address));
}

void ExecSpace::Write(uint32_t address, const void* data, size_t count)
{
    if (count == 0)
        return;
    if (uc_mem_write(uc_, address, data, count) != UC_ERR_OK)
        throw ExecFault("invalid memory write at $" + Hex(address));
}

uint32_t ExecSpace::Read32(uint32_t address) const
{
    uint8_t b[4];
    Read(address, b, 4);
    return Le32(b);
}

void ExecSpace::Write32(uint32_t address, uint32_t value)
{
    uint8_t b[4];
    PutLe32(b, value);
    Write(address, b, 4);
}

uint8_t ExecSpace::Read8(uint32_t address) const
{
    uint8_t b;
    Read(address, &b, 1);
    return b;
}

std::string ExecSpace::ReadCString(uint32_t address, size_t maxLength) const
{
    std::string text;
    char chunk[256];
    while (text.size() < maxLength) {
        // Read byte-wise near the end of a mapping, in chunks elsewhere.
        size_t n = sizeof chunk;
        if (uc_mem_read(uc_, address, chunk, n) != UC_ERR_OK)
            n = 1, chunk[0] = static_cast<char>(Read8(address));
        for (size_t i = 0; i < n; ++i) {
            if (chunk[i] == 0 || text.size() >= maxLength)
                return text;
            text.push_back(chunk[i]);
        }
        address += static_cast<uint32_t>(n);
    }
    return text;
}

void ExecSpace::CodeChanged(uint32_t address, size_t count)
{
    if (count)
        uc_ctl_remove_cache(uc_, address, address + count);
}

uint32_t ExecSpace::AddHostFunction(const std::string& name, uint32_t argBytes, ResultKind kind, HostFunction fn)
{
    if (hosts_.size() >= kMaxStubs)
        throw std::runtime_error("too many host functions");
    uint32_t stub = kFirstStub + static_cast<uint32_t>(hosts_.size()) * kStubStride;
    std::vector<uint8_t> code;
    ByteWriter out(code);
    out.U8(0x90); // nop: the hook runs the host function here
    if (kind == ResultKind::Float) {
        out.Bytes("\xD9\x05"); // fld dword [kHostFloatCell]
        out.U32(kHostFloatCell);
    }
    if (argBytes) {
        out.U8(0xC2); // ret n
        out.U16(static_cast<uint16_t>(argBytes));
    } else {
        out.U8(0xC3); // ret
    }
    Write(stub, code.data(), code.size());
    CodeChanged(stub, kStubStride);
    hosts_.push_back({name, kind, std::move(fn)});
    return stub;
}

void ExecSpace::TruncateHostFunctions(size_t count)
{
    if (count < hosts_.size())
        hosts_.resize(count);
}

void ExecSpace::SetLimits(uint32_t timeoutMs, uint64_t instructionBudget)
{
    // Instructions are counted by code woven in at translation time, so code
    // translated under the other setting is dropped: region by region, since
    // a flush of the emulator's whole translation buffer takes seconds.
    if ((instructionBudget == 0) != (budget_ == 0) && translated_) {
        uc_mem_region* regions = nullptr;
        uint32_t count = 0;
        if (uc_mem_regions(uc_, &regions, &count) == UC_ERR_OK) {
            for (uint32_t i = 0; i < count; ++i)
                uc_ctl_remove_cache(uc_, regions[i].begin, regions[i].end + 1);
            uc_free(regions);
        } else {
            uc_ctl(uc_, UC_CTL_WRITE(UC_CTL_TB_FLUSH, 0));
        }
        translated_ = false;
    }
    timeoutMs_ = timeoutMs;
    budget_ = instructionBudget;
}

void ExecSpace::Stop(std::string error)
{
    if (stopError_.empty())
        stopError_ = std::move(error);
    uc_emu_stop(uc_);
}

void ExecSpace::CodeHook(uc_struct* uc, uint64_t address, uint32_t, void* self)
{
    auto* space = static_cast<ExecSpace*>(self);
    uint32_t offset = static_cast<uint32_t>(address) - kFirstStub;
    if (offset % kStubStride != 0)
        return;
    size_t index = offset / kStubStride;
    if (index >= space->hosts_.size()) {
        space->Stop("call of a released host function at $" + Hex(address));
        return;
    }
    Host& host = space->hosts_[index];
    uint32_t esp = 0;
    uc_reg_read(uc, UC_X86_REG_ESP, &esp);
    try {
        HostCall call(*space, esp);
        uint32_t result = host.fn(call);
        if (host.kind == ResultKind::Float) {
            space->Write32(kHostFloatCell, result);
        } else if (host.kind == ResultKind::Int) {
            uc_reg_write(uc, UC_X86_REG_EAX, &result);
        }
    } catch (const std::exception& e) {
        space->Stop(host.name + ": " + e.what());
    } catch (...) {
        space->Stop(host.name + ": failed"); // nothing may unwind through the emulator
    }
}

void ExecSpace::InterruptHook(uc_struct* uc, uint32_t intno, void* self)
{
    auto* space = static_cast<ExecSpace*>(self);
    uint32_t eip = 0;
    uc_reg_read(uc, UC_X86_REG_EIP, &eip);
    switch (intno) {
    case 0: space->Stop("division by zero at $" + Hex(eip)); break;
    case 3: space->Stop("breakpoint at $" + Hex(eip)); break;
    default: space->Stop("interrupt " + std::to_string(intno) + " at $" + Hex(eip)); break;
    }
}

bool ExecSpace::InvalidMemoryHook(uc_struct* uc, int type, uint64_t address, int, int64_t, void* self)
{
    auto* space = static_cast<ExecSpace*>(self);
    uint32_t eip = 0;
    uc_reg_read(uc, UC_X86_REG_EIP, &eip);
    const char* what = type == UC_MEM_FETCH_UNMAPPED || type == UC_MEM_FETCH_PROT   ? "execution"
                       : type == UC_MEM_WRITE_UNMAPPED || type == UC_MEM_WRITE_PROT ? "write"
                                                                                    : "read";
    space->Stop(std::string("invalid memory ") + what + " at $" + Hex(address) + " (code at $" + Hex(eip) + ")");
    return false;
}

bool ExecSpace::InvalidInstructionHook(uc_struct* uc, void* self)
{
    auto* space = static_cast<ExecSpace*>(self);
    uint32_t eip = 0;
    uc_reg_read(uc, UC_X86_REG_EIP, &eip);
    space->Stop("invalid instruction at $" + Hex(eip));
    return false;
}

CallResult ExecSpace::Call(uint32_t address, std::span<const uint32_t> args, ResultKind kind)
{
    CallResult result;
    if (running_) {
        result.error = "nested call into script code";
        return result;
    }
    uint32_t esp = kStackBase + kStackSize - 64;
    if (args.size() > (kStackSize / 2) / 4) {
        result.error = "too many arguments";
        return result;
    }
    for (uint32_t arg : args) {
        esp -= 4;
        Write32(esp, arg);
    }
    uint32_t until = kind == ResultKind::Float ? kFloatReturnEnd : kIntReturn;
    esp -= 4;
    Write32(esp, kind == ResultKind::Float ? kFloatReturn : kIntReturn);
    uint32_t zero = 0;
    uc_reg_write(uc_, UC_X86_REG_ESP, &esp);
    uc_reg_write(uc_, UC_X86_REG_EBP, &zero);
    uc_reg_write(uc_, UC_X86_REG_EAX, &zero);
    stopError_.clear();
    running_ = true;
    translated_ = true;
    uc_err err = uc_emu_start(uc_, address, until, uint64_t{timeoutMs_} * 1000, budget_);
    running_ = false;
    uint32_t eip = 0;
    uc_reg_read(uc_, UC_X86_REG_EIP, &eip);
    if (!stopError_.empty()) {
        result.error = stopError_;
    } else if (err != UC_ERR_OK) {
        result.error = std::string(uc_strerror(err)) + " at $" + Hex(eip);
    } else if (eip != until) {
        result.error = "time limit exceeded at $" + Hex(eip);
    } else {
        result.ok = true;
        uc_reg_read(uc_, UC_X86_REG_EAX, &result.value);
        if (kind == ResultKind::Float) {
            uint32_t bits = Read32(kResultCell);
            std::memcpy(&result.fvalue, &bits, 4);
        }
    }
    return result;
}

} // namespace kolvarin::execmem

// The emulator library keeps one block of its translation cache past
// uc_close; the leak checker is told so here, in the unit every user of the
// address space links.
extern "C" const char* __lsan_default_suppressions() { return "leak:libunicorn\n"; }
