#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kolvarin {

// One binding: a key with a modifier set runs one of the 55 player actions.
// Six bytes in hotkeys.kkeys: Key (16 bits, little-endian), Shift, Action,
// Global, Reserved.
struct THotKeyEntry {
    uint16_t Key = 0; // Windows virtual-key code
    uint8_t Shift = 0; // 1 Shift, 2 Alt, 4 Ctrl
    uint8_t Action = 0; // 0 .. 54; larger values are kept but do nothing
    uint8_t Global = 0; // 1 works whichever program is in front
    uint8_t Reserved = 0; // 0 in records the program makes
};

enum : uint8_t { hkShift = 1, hkAlt = 2, hkCtrl = 4 };

constexpr int kHotKeyActionCount = 55;

// Where the keyboard focus is when a key arrives; the windows answer it.
struct TKKeyFocus {
    bool PlaylistFocused = false; // the playlist window has the focus
    bool PlayerForeground = false; // IsPlayerForeground(0)
};

// The table of keyboard shortcuts. Owned by the main thread.
class TKHotKeys {
public:
    // Runs one action (1 .. 54); the play system and the windows connect it.
    std::function<void(int action)> OnAction;
    // Asked for every non-global match; without it such keys do nothing.
    std::function<TKKeyFocus()> KeyFocus;

    // Starts with the 30 default records.
    TKHotKeys();

    void SetDefaults();
    int Count() const { return static_cast<int>(items_.size()); }
    // A record of zeros outside 0 .. Count - 1.
    THotKeyEntry GetItem(int index) const;
    const std::vector<THotKeyEntry>& Items() const { return items_; }
    void Add(uint16_t key, uint8_t shift, uint8_t action, uint8_t global);
    // Overwrites Key, Shift, Action and Global; an index outside the table is ignored.
    void SetItem(int index, uint16_t key, uint8_t shift, uint8_t action, uint8_t global);
    void Delete(int index);
    bool KeyExists(uint16_t key) const;

    // Runs the action of every record bound to exactly this key and modifier
    // set, in table order. A non-global record runs only when the key may
    // reach the player (see TKKeyFocus): with the playlist focused, its own
    // navigation keys are left to it.
    void HandleKey(uint16_t key, uint8_t shift) const;

    // The ShortCuts text of the action; empty for 55 and above.
    static std::u16string ActionName(int action);
    // The action whose text equals Name exactly; 0 when none does.
    static int ActionFromName(const std::u16string& name);
    static std::vector<std::u16string> GetActionNames();

    // hotkeys.kkeys: a 32-bit count, then the records. Saving goes through a
    // temporary file renamed over the old one; throws std::runtime_error.
    void SaveToFile(const std::string& fileName) const;
    // Replaces the table by the file's records. A file that cannot be read,
    // or whose length is not exactly 4 + 6 x count, throws
    // std::runtime_error and leaves the table as it was.
    void LoadFromFile(const std::string& fileName);

    // The file's bytes for the records, and the records from bytes (false,
    // Records untouched, when the length does not match the count).
    static std::string Encode(const std::vector<THotKeyEntry>& records);
    static bool Decode(std::string_view bytes, std::vector<THotKeyEntry>& records);

private:
    void Run(uint8_t action) const;
    std::vector<THotKeyEntry> items_;
};

// The display name of a virtual key (Windows-1252).
std::string KeyName(uint16_t key);
// "Alt + ", "Shift + ", "Ctrl + " for the bits set, in that order.
std::string ShiftStateText(uint8_t shift);

// The process-wide table; created at start-up.
extern TKHotKeys* HotKeys;

} // namespace kolvarin
