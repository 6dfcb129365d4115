// unicorn, the processor emulator of compiled scripts.
#include <cstdarg>
#include <cstdint>

#include <unicorn/unicorn.h>

#include "lazyload/lazyload.h"

namespace {
kolvarin::lazyload::TLazyLibrary libunicorn{KOLVARIN_SONAME_unicorn};
} // namespace

KOLVARIN_LAZY_FORWARD(libunicorn, uc_err, uc_close, (uc_engine * uc), (uc))
KOLVARIN_LAZY_FORWARD(libunicorn, uc_err, uc_emu_start,
                      (uc_engine * uc, uint64_t begin, uint64_t until, uint64_t timeout, size_t count),
                      (uc, begin, until, timeout, count))
KOLVARIN_LAZY_FORWARD(libunicorn, uc_err, uc_emu_stop, (uc_engine * uc), (uc))
KOLVARIN_LAZY_FORWARD(libunicorn, uc_err, uc_free, (void* mem), (mem))
KOLVARIN_LAZY_FORWARD(libunicorn, uc_err, uc_mem_map, (uc_engine * uc, uint64_t address, size_t size, uint32_t perms),
                      (uc, address, size, perms))
KOLVARIN_LAZY_FORWARD(libunicorn, uc_err, uc_mem_protect,
                      (uc_engine * uc, uint64_t address, size_t size, uint32_t perms), (uc, address, size, perms))
KOLVARIN_LAZY_FORWARD(libunicorn, uc_err, uc_mem_read, (uc_engine * uc, uint64_t address, void* bytes, size_t size),
                      (uc, address, bytes, size))
KOLVARIN_LAZY_FORWARD(libunicorn, uc_err, uc_mem_regions, (uc_engine * uc, uc_mem_region** regions, uint32_t* count),
                      (uc, regions, count))
KOLVARIN_LAZY_FORWARD(libunicorn, uc_err, uc_mem_unmap, (uc_engine * uc, uint64_t address, size_t size),
                      (uc, address, size))
KOLVARIN_LAZY_FORWARD(libunicorn, uc_err, uc_mem_write,
                      (uc_engine * uc, uint64_t address, const void* bytes, size_t size), (uc, address, bytes, size))
KOLVARIN_LAZY_FORWARD(libunicorn, uc_err, uc_open, (uc_arch arch, uc_mode mode, uc_engine** uc), (arch, mode, uc))
KOLVARIN_LAZY_FORWARD(libunicorn, uc_err, uc_reg_read, (uc_engine * uc, int regid, void* value), (uc, regid, value))
KOLVARIN_LAZY_FORWARD(libunicorn, uc_err, uc_reg_write, (uc_engine * uc, int regid, const void* value),
                      (uc, regid, value))
KOLVARIN_LAZY_FORWARD(libunicorn, const char*, uc_strerror, (uc_err code), (code))

// The control word carries the number of its arguments (bits 26 to 29);
// each control the program sends takes 64-bit values (addresses).
extern "C" uc_err uc_ctl(uc_engine* uc, uc_control_type control, ...)
{
    static const auto real = reinterpret_cast<decltype(&::uc_ctl)>(libunicorn.Symbol("uc_ctl"));
    va_list values;
    KOLVARIN_VA_START(values, control);
    uint64_t a[4] = {};
    const unsigned count = (static_cast<unsigned>(control) >> 26) & 0xF;
    for (unsigned i = 0; i < count && i < 4; ++i)
        a[i] = va_arg(values, uint64_t);
    va_end(values);
    switch (count) {
    case 0: return real(uc, control);
    case 1: return real(uc, control, a[0]);
    case 2: return real(uc, control, a[0], a[1]);
    case 3: return real(uc, control, a[0], a[1], a[2]);
    default: return real(uc, control, a[0], a[1], a[2], a[3]);
    }
}

// Instruction hooks take the instruction, opcode hooks the opcode and its
// flags; the other hooks nothing more.
extern "C" uc_err uc_hook_add(uc_engine* uc, uc_hook* hh, int type, void* callback, void* user_data, uint64_t begin,
                              uint64_t end, ...)
{
    static const auto real = reinterpret_cast<decltype(&::uc_hook_add)>(libunicorn.Symbol("uc_hook_add"));
    va_list values;
    KOLVARIN_VA_START(values, end);
    uc_err result;
    if (type == UC_HOOK_INSN) {
        result = real(uc, hh, type, callback, user_data, begin, end, va_arg(values, int));
    } else if (type == UC_HOOK_TCG_OPCODE) {
        const int opcode = va_arg(values, int);
        result = real(uc, hh, type, callback, user_data, begin, end, opcode, va_arg(values, int));
    } else {
        result = real(uc, hh, type, callback, user_data, begin, end);
    }
    va_end(values);
    return result;
}
