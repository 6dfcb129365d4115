#include "keyhook/keycodes.h"

#include <QtCore/qnamespace.h>

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

namespace kolvarin::keyhook {

namespace {

struct KeyRow {
    uint16_t Key;
    int QtKey; // 0: none
    unsigned long Keysym; // 0: none
};

// The first row of a virtual key gives its keysym for grabbing.
constexpr KeyRow kRows[] = {
    {0x08, Qt::Key_Backspace, XK_BackSpace},
    {0x09, Qt::Key_Tab, XK_Tab},
    {0x09, Qt::Key_Backtab, XK_ISO_Left_Tab},
    {0x0C, Qt::Key_Clear, XK_Clear},
    {0x0D, Qt::Key_Return, XK_Return},
    {0x0D, Qt::Key_Enter, XK_KP_Enter},
    {0x10, Qt::Key_Shift, XK_Shift_L},
    {0x10, 0, XK_Shift_R},
    {0x11, Qt::Key_Control, XK_Control_L},
    {0x11, 0, XK_Control_R},
    {0x12, Qt::Key_Alt, XK_Alt_L},
    {0x12, 0, XK_Alt_R},
    {0x13, Qt::Key_Pause, XK_Pause},
    {0x14, Qt::Key_CapsLock, XK_Caps_Lock},
    {0x1B, Qt::Key_Escape, XK_Escape},
    {0x20, Qt::Key_Space, XK_space},
    {0x21, Qt::Key_PageUp, XK_Prior},
    {0x22, Qt::Key_PageDown, XK_Next},
    {0x23, Qt::Key_End, XK_End},
    {0x24, Qt::Key_Home, XK_Home},
    {0x25, Qt::Key_Left, XK_Left},
    {0x26, Qt::Key_Up, XK_Up},
    {0x27, Qt::Key_Right, XK_Right},
    {0x28, Qt::Key_Down, XK_Down},
    {0x29, Qt::Key_Select, XK_Select},
    {0x2A, Qt::Key_Printer, 0},
    {0x2B, Qt::Key_Execute, XK_Execute},
    {0x2C, Qt::Key_Print, XK_Print},
    {0x2D, Qt::Key_Insert, XK_Insert},
    {0x2E, Qt::Key_Delete, XK_Delete},
    {0x5D, Qt::Key_Menu, XK_Menu},
    {0x60, 0, XK_KP_0},
    {0x61, 0, XK_KP_1},
    {0x62, 0, XK_KP_2},
    {0x63, 0, XK_KP_3},
    {0x64, 0, XK_KP_4},
    {0x65, 0, XK_KP_5},
    {0x66, 0, XK_KP_6},
    {0x67, 0, XK_KP_7},
    {0x68, 0, XK_KP_8},
    {0x69, 0, XK_KP_9},
    {0x6A, Qt::Key_Asterisk, XK_KP_Multiply},
    {0x6B, 0, XK_KP_Add},
    {0x6C, 0, XK_KP_Separator},
    {0x6D, 0, XK_KP_Subtract},
    {0x6E, 0, XK_KP_Decimal},
    {0x6F, 0, XK_KP_Divide},
    {0x90, Qt::Key_NumLock, XK_Num_Lock},
    {0x91, Qt::Key_ScrollLock, XK_Scroll_Lock},
    {0xAD, Qt::Key_VolumeMute, XF86XK_AudioMute},
    {0xAE, Qt::Key_VolumeDown, XF86XK_AudioLowerVolume},
    {0xAF, Qt::Key_VolumeUp, XF86XK_AudioRaiseVolume},
    {0xB0, Qt::Key_MediaNext, XF86XK_AudioNext},
    {0xB1, Qt::Key_MediaPrevious, XF86XK_AudioPrev},
    {0xB2, Qt::Key_MediaStop, XF86XK_AudioStop},
    {0xB3, Qt::Key_MediaTogglePlayPause, XF86XK_AudioPlay},
    {0xB3, Qt::Key_MediaPlay, 0},
    {0xBA, Qt::Key_Semicolon, XK_semicolon},
    {0xBB, Qt::Key_Plus, XK_plus},
    {0xBB, Qt::Key_Equal, XK_equal},
    {0xBC, Qt::Key_Comma, XK_comma},
    {0xBD, Qt::Key_Minus, XK_minus},
    {0xBE, Qt::Key_Period, XK_period},
    {0xBF, Qt::Key_Slash, XK_slash},
    {0xC0, Qt::Key_QuoteLeft, XK_grave},
    {0xDB, Qt::Key_BracketLeft, XK_bracketleft},
    {0xDC, Qt::Key_Backslash, XK_backslash},
    {0xDD, Qt::Key_BracketRight, XK_bracketright},
    {0xDE, Qt::Key_Apostrophe, XK_apostrophe},
    {0xE2, Qt::Key_Less, XK_less},
};

} // namespace

uint16_t VirtualKeyFromQtKey(int qtKey)
{
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return static_cast<uint16_t>(qtKey);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return static_cast<uint16_t>(0x70 + (qtKey - Qt::Key_F1));
    for (const KeyRow& row : kRows)
        if (row.QtKey == qtKey && qtKey != 0)
            return row.Key;
    return 0;
}

uint16_t VirtualKeyFromKeysym(unsigned long keysym)
{
    if (keysym >= XK_a && keysym <= XK_z)
        return static_cast<uint16_t>('A' + (keysym - XK_a));
    if ((keysym >= XK_A && keysym <= XK_Z) || (keysym >= XK_0 && keysym <= XK_9))
        return static_cast<uint16_t>(keysym);
    if (keysym >= XK_F1 && keysym <= XK_F24)
        return static_cast<uint16_t>(0x70 + (keysym - XK_F1));
    for (const KeyRow& row : kRows)
        if (row.Keysym == keysym && keysym != 0)
            return row.Key;
    return 0;
}

unsigned long KeysymFromVirtualKey(uint16_t key)
{
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return key;
    if (key >= 0x70 && key <= 0x87)
        return XK_F1 + (key - 0x70);
    for (const KeyRow& row : kRows)
        if (row.Key == key && row.Keysym != 0)
            return row.Keysym;
    return 0;
}

} // namespace kolvarin::keyhook
