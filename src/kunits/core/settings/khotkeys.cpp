#include "core/settings/khotkeys.h"

#include <array>
#include <stdexcept>

#include "base/bytereader.h"
#include "core/system/kfilesave.h"
#include "core/text/klanguage.h"

namespace kolvarin {

TKHotKeys* HotKeys = nullptr;

namespace {

constexpr THotKeyEntry kDefaults[] = {
    {0x59, 0, 2, 0, 0},
    {0x58, 0, 5, 0, 0},
    {0x43, 0, 4, 0, 0},
    {0x56, 0, 3, 0, 0},
    {0x42, 0, 1, 0, 0},
    {0x73, hkAlt, 50, 0, 0},
    {0x20, 0, 4, 0, 0},
    {0x26, 0, 6, 0, 0},
    {0x28, 0, 7, 0, 0},
    {0x25, 0, 11, 0, 0},
    {0x27, 0, 10, 0, 0},
    {0x0D, 0, 5, 0, 0},
    {0x72, 0, 16, 0, 0},
    {0x53, hkAlt, 20, 0, 0},
    {0x0D, hkAlt, 12, 0, 0},
    {0x31, 0, 9, 0, 0},
    {0x32, 0, 8, 0, 0},
    {0x78, 0, 18, 0, 0},
    {0x46, 0, 12, 0, 0},
    {0x54, hkCtrl, 50, 0, 0},
    {0x42, hkShift | hkCtrl, 11, 1, 0},
    {0x50, hkShift | hkCtrl, 5, 1, 0},
    {0x46, hkShift | hkCtrl, 10, 1, 0},
    {0x53, hkShift | hkCtrl, 3, 1, 0},
    {0x42, hkCtrl, 2, 0, 0},
    {0x50, hkCtrl, 4, 0, 0},
    {0x46, hkCtrl, 1, 0, 0},
    {0x59, hkShift | hkCtrl, 51, 1, 0},
    {0x41, hkShift | hkCtrl, 52, 1, 0},
    {0x55, hkCtrl, 53, 0, 0},
};

// The ShortCuts text number of each action: the order differs for a few.
constexpr std::array<uint8_t, kHotKeyActionCount> kActionText = {
    1,  2,  3,  6,  4,  5,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 47, 48, 19, 20, 21, 22, 23, 24, 25, 26,
    27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 49, 50, 51, 46, 52, 53, 54, 55,
};

// Keys the focused playlist keeps for itself: its navigation without
// modifiers, and Ctrl+A.
bool PlaylistOwnsKey(uint16_t key, uint8_t shift)
{
    if (shift == hkCtrl)
        return key == 0x41;
    if (shift != 0)
        return false;
    switch (key) {
    case 0x26:
    case 0x28:
    case 0x22:
    case 0x21:
    case 0x24:
    case 0x23:
    case 0x2E: return true;
    default: return false;
    }
}

struct NamedKey {
    uint16_t Key;
    const char* Name;
};

constexpr NamedKey kKeyNames[] = {
    {0x08, "Backspace"}, {0x09, "Tab"},       {0x0C, "Clear"},    {0xFE, "Clear"},
    {0x0D, "Return"},    {0x10, "Shift"},     {0x11, "Ctrl"},     {0x12, "Alt"},
    {0x13, "Pause"},     {0x14, "Shiftlock"}, {0x1B, "Esc"},      {0x20, "Space"},
    {0x21, "PageUp"},    {0x22, "PageDown"},  {0x23, "End"},      {0x24, "Pos1"},
    {0x25, "Left"},      {0x26, "Up"},        {0x27, "Right"},    {0x28, "Down"},
    {0x29, "Select"},    {0x2A, "Print"},     {0x2B, "Execute"},  {0x2C, "Print Screen"},
    {0x2D, "Insert"},    {0x2E, "Delete"},    {0x5D, "Start"},    {0x6A, "Numpad *"},
    {0x6B, "Numpad +"},  {0x6C, "Numpad ."},  {0x6D, "Numpad -"}, {0x6E, "Numpfad ,"},
    {0x6F, "Numpfad /"}, {0x90, "Numlock"},   {0x91, "Scroll"},   {0xBA, "\xDC"},
    {0xBB, "+"},         {0xBC, ","},         {0xBD, "-"},        {0xBE, "."},
    {0xBF, "#"},         {0xC0, "\xD6"},      {0xDB, "\xDF"},     {0xDC, "^"},
    {0xDD, "\xB4"},      {0xDE, "\xC4"},      {0xE2, "<"},        {0xE5, "Process"},
    {0xF6, "Attn"},      {0xF7, "CrSel"},     {0xF8, "ExSel"},    {0xF9, "EOF"},
    {0xFA, "Play"},      {0xFB, "Zoom"},      {0xFD, "PA1"},
};

constexpr size_t kRecordSize = 6;
// Far more records than anyone binds; a larger file is refused unread.
constexpr size_t kMaxFileBytes = size_t(1) << 26;

} // namespace

TKHotKeys::TKHotKeys() { SetDefaults(); }

void TKHotKeys::SetDefaults() { items_.assign(std::begin(kDefaults), std::end(kDefaults)); }

THotKeyEntry TKHotKeys::GetItem(int index) const
{
    return index >= 0 && index < Count() ? items_[static_cast<size_t>(index)] : THotKeyEntry{};
}

void TKHotKeys::Add(uint16_t key, uint8_t shift, uint8_t action, uint8_t global)
{
    items_.push_back({key, shift, action, global, 0});
}

void TKHotKeys::SetItem(int index, uint16_t key, uint8_t shift, uint8_t action, uint8_t global)
{
    if (index < 0 || index >= Count())
        return;
    THotKeyEntry& e = items_[static_cast<size_t>(index)];
    e.Key = key;
    e.Shift = shift;
    e.Action = action;
    e.Global = global;
}

void TKHotKeys::Delete(int index)
{
    if (index >= 0 && index < Count())
        items_.erase(items_.begin() + index);
}

bool TKHotKeys::KeyExists(uint16_t key) const
{
    for (const THotKeyEntry& e : items_)
        if (e.Key == key)
            return true;
    return false;
}

void TKHotKeys::HandleKey(uint16_t key, uint8_t shift) const
{
    // An action may change the table (the close action frees it at the end
    // of the loop), so the matches are taken first.
    std::vector<THotKeyEntry> matches;
    for (const THotKeyEntry& e : items_)
        if (e.Key == key && e.Shift == shift)
            matches.push_back(e);
    for (const THotKeyEntry& e : matches) {
        if (!e.Global) {
            const TKKeyFocus focus = KeyFocus ? KeyFocus() : TKKeyFocus{};
            if (focus.PlaylistFocused ? PlaylistOwnsKey(key, shift) : !focus.PlayerForeground)
                continue;
        }
        Run(e.Action);
    }
}

void TKHotKeys::Run(uint8_t action) const
{
    // The whole byte counts: 0x81 is no action, not action 1.
    if (action == 0 || action >= kHotKeyActionCount || !OnAction)
        return;
    OnAction(action);
}

std::u16string TKHotKeys::ActionName(int action)
{
    if (action < 0 || action >= kHotKeyActionCount)
        return {};
    return Language.Text(TLanguageSection::ShortCuts, kActionText[static_cast<size_t>(action)]);
}

int TKHotKeys::ActionFromName(const std::u16string& name)
{
    for (int action = 0; action < kHotKeyActionCount; ++action)
        if (ActionName(action) == name)
            return action;
    return 0;
}

std::vector<std::u16string> TKHotKeys::GetActionNames()
{
    std::vector<std::u16string> names;
    for (int action = 0; action < kHotKeyActionCount; ++action)
        names.push_back(ActionName(action));
    return names;
}

std::string TKHotKeys::Encode(const std::vector<THotKeyEntry>& records)
{
    std::string bytes;
    ByteWriter out(bytes);
    out.U32(static_cast<uint32_t>(records.size()));
    for (const THotKeyEntry& e : records) {
        out.U16(e.Key);
        out.U8(e.Shift);
        out.U8(e.Action);
        out.U8(e.Global);
        out.U8(e.Reserved);
    }
    return bytes;
}

bool TKHotKeys::Decode(std::string_view bytes, std::vector<THotKeyEntry>& records)
{
    ByteReader in(bytes);
    uint32_t count;
    if (!in.U32(count) || in.Remaining() != kRecordSize * uint64_t(count))
        return false;
    std::vector<THotKeyEntry> read(count);
    for (THotKeyEntry& e : read)
        if (!(in.U16(e.Key) && in.U8(e.Shift) && in.U8(e.Action) && in.U8(e.Global) && in.U8(e.Reserved)))
            return false;
    records = std::move(read);
    return true;
}

void TKHotKeys::SaveToFile(const std::string& fileName) const { SaveFileAtomically(fileName, Encode(items_)); }

void TKHotKeys::LoadFromFile(const std::string& fileName)
{
    std::string bytes;
    if (!ReadWholeFile(fileName, bytes, kMaxFileBytes))
        throw std::runtime_error("Cannot read \"" + fileName + "\"");
    if (!Decode(bytes, items_))
        throw std::runtime_error("\"" + fileName + "\" is not a hot-key file");
}

std::string KeyName(uint16_t key)
{
    for (const NamedKey& k : kKeyNames)
        if (k.Key == key)
            return k.Name;
    if (key >= 0x60 && key <= 0x69)
        return "Numpad " + std::to_string(key - 0x60);
    if (key >= 0x70 && key <= 0x87)
        return std::string("F").append(std::to_string(key - 0x6F));
    return key < 0x100 ? std::string(1, static_cast<char>(key)) : std::string();
}

std::string ShiftStateText(uint8_t shift)
{
    std::string text;
    if (shift & hkAlt)
        text += "Alt + ";
    if (shift & hkShift)
        text += "Shift + ";
    if (shift & hkCtrl)
        text += "Ctrl + ";
    return text;
}

} // namespace kolvarin
