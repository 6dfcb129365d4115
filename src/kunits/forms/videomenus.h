#pragma once

// The video window's popup menu: every item by the name the window's
// handlers and the language texts use, built once with its design captions
// (the language texts replace them). Items built at run time carry their
// stream, chapter or monitor number in their data (the Tag). Main thread.

#include <array>
#include <functional>
#include <vector>

#include <QAction>
#include <QMenu>

#include "skin/barpopupmenu.h"

namespace kolvarin {

struct TKVideoPopupMenu {
    TBarPopupMenu* popmVideo = nullptr;
    QAction* PreviosChapter1 = nullptr;
    QAction* Previous1 = nullptr;
    QAction* Pause1 = nullptr;
    QAction* Play1 = nullptr;
    QAction* Stop1 = nullptr;
    QAction* Next1 = nullptr;
    QAction* NextChapter1 = nullptr;
    QMenu* Forwardspeed1 = nullptr;
    QMenu* Backwardspeed1 = nullptr;
    QMenu* Mode1 = nullptr;
    QAction* Fullscreen1 = nullptr;
    QAction* Desktopmode1 = nullptr;
    QAction* Windowmode1 = nullptr;
    QMenu* Ratio1 = nullptr;
    // By stored ratio mode (letter box .. user).
    std::array<QAction*, 9> RatioItems{};
    QMenu* Zoom1 = nullptr;
    // 25 % .. 200 % in steps of 25.
    std::array<QAction*, 8> ZoomItems{};
    QMenu* DigitalZoom1 = nullptr;
    QAction* Off1 = nullptr;
    QAction* N4X3 = nullptr;
    QAction* N9X1 = nullptr;
    QAction* N1751 = nullptr;
    QAction* N2001 = nullptr;
    QMenu* screenshot1 = nullptr;
    QAction* Original1 = nullptr;
    QAction* Angepasst1 = nullptr;
    QMenu* Filter1 = nullptr;
    QMenu* MonitorOutput1 = nullptr;
    QAction* N1 = nullptr;
    QMenu* Showmenu1 = nullptr;
    QAction* Titlemenu1 = nullptr;
    QAction* Mainmenu1 = nullptr;
    QAction* Subtitlesmenu1 = nullptr;
    QAction* Audiomenu1 = nullptr;
    QAction* Angelsmenu1 = nullptr;
    QAction* Chaptermenu1 = nullptr;
    QMenu* Audio1 = nullptr;
    QMenu* Subtitles1 = nullptr;
    QMenu* Jumpto1 = nullptr;
    QAction* Toggledrawsubtitlesinvis1 = nullptr;
    QAction* Close1 = nullptr;

    // Builds every item inside a new popup owned by parent.
    void Build(QWidget* parent);
};

// The speeds of the speed submenus' ten items, in menu order.
inline constexpr std::array<double, 10> kVideoSpeeds{0.125, 0.25, 0.5, 1.0, 2.0, 3.0, 4.0, 8.0, 16.0, 32.0};
// The values the digital-zoom items pass ("200%" passes 80: the display
// takes 0 to 99).
inline constexpr std::array<int, 5> kDigitalZooms{0, 25, 50, 75, 80};

// An item's Tag, -1 when it has none.
int ItemTag(const QAction* item);
void SetItemTag(QAction* item, int tag);

// An item of another menu that stands for command: it runs the command and
// shows the command's check, whoever changes it. A command that refuses
// (nothing ticked) leaves the item unticked too.
void ShowCommand(QAction* item, QAction* command);

// Checks exactly the one item (none when it is null) among items.
void CheckOnly(const std::vector<QAction*>& items, const QAction* item);
// The items of a menu that are no separators, in order.
std::vector<QAction*> MenuItems(const QMenu& menu);
// The item after the checked one, wrapping, separators skipped; null when
// none is checked.
QAction* NextChecked(const QMenu& menu);

} // namespace kolvarin
