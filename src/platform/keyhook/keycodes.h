#pragma once

#include <cstdint>

namespace kolvarin::keyhook {

// Translation between the Windows virtual-key codes the hot keys store and
// the key codes of Qt and X11. 0 means no counterpart.
uint16_t VirtualKeyFromQtKey(int qtKey);
uint16_t VirtualKeyFromKeysym(unsigned long keysym);
unsigned long KeysymFromVirtualKey(uint16_t key);

} // namespace kolvarin::keyhook
