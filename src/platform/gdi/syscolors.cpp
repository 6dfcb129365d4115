#include "gdi/syscolors.h"

#include <QGuiApplication>
#include <QPalette>

namespace kolvarin::gdi {

namespace {

struct Role {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

constexpr QPalette::ColorGroup Active = QPalette::Active;

// The palette role that plays each system element's part.
constexpr Role Roles[] = {
    {Active, QPalette::Mid}, // scroll bar
    {Active, QPalette::Dark}, // desktop
    {Active, QPalette::Highlight}, // active caption
    {Active, QPalette::Mid}, // inactive caption
    {Active, QPalette::Window}, // menu
    {Active, QPalette::Base}, // window
    {Active, QPalette::Shadow}, // window frame
    {Active, QPalette::WindowText}, // menu text
    {Active, QPalette::Text}, // window text
    {Active, QPalette::HighlightedText}, // caption text
    {Active, QPalette::Button}, // active border
    {Active, QPalette::Button}, // inactive border
    {Active, QPalette::Dark}, // application work space
    {Active, QPalette::Highlight}, // highlight
    {Active, QPalette::HighlightedText}, // highlight text
    {Active, QPalette::Button}, // button face
    {Active, QPalette::Dark}, // button shadow
    {QPalette::Disabled, QPalette::Text}, // grey text
    {Active, QPalette::ButtonText}, // button text
    {QPalette::Disabled, QPalette::WindowText}, // inactive caption text
    {Active, QPalette::Light}, // button highlight
    {Active, QPalette::Shadow}, // 3D dark shadow
    {Active, QPalette::Midlight}, // 3D light
    {Active, QPalette::ToolTipText}, // info text
    {Active, QPalette::ToolTipBase}, // info background
    {Active, QPalette::Button}, // (unused number 25)
    {Active, QPalette::Link}, // hot light
    {Active, QPalette::Highlight}, // gradient active caption
    {Active, QPalette::Mid}, // gradient inactive caption
    {Active, QPalette::Highlight}, // menu highlight
    {Active, QPalette::Window}, // menu bar
};

} // namespace

Color GetSysColor(int index)
{
    if (index < 0 || index >= int(std::size(Roles)))
        return 0;
    const QColor c = QGuiApplication::palette().color(Roles[index].group, Roles[index].role);
    return RGB(std::uint8_t(c.red()), std::uint8_t(c.green()), std::uint8_t(c.blue()));
}

} // namespace kolvarin::gdi
