#include "forms/videomenus.h"

#include <QActionGroup>

namespace kolvarin {

namespace {

QAction* Item(QMenu* menu, const char* name, const char* caption, bool radio = false)
{
    QAction* a = menu->addAction(QString::fromUtf8(caption));
    a->setObjectName(QString::fromUtf8(name));
    a->setCheckable(radio);
    SetItemTag(a, 0);
    return a;
}

QMenu* Submenu(QMenu* menu, const char* name, const char* caption, int tag = 0)
{
    QMenu* sub = menu->addMenu(QString::fromUtf8(caption));
    sub->setObjectName(QString::fromUtf8(name));
    sub->menuAction()->setObjectName(QString::fromUtf8(name));
    SetItemTag(sub->menuAction(), tag);
    return sub;
}

void SpeedItems(QMenu* menu)
{
    static constexpr const char* captions[] = {"1/8X", "1/4X", "1/2X", "1X", "2X", "3X", "4X", "8X", "16X", "32X"};
    for (int i = 0; i < 10; ++i) {
        Item(menu, captions[i], captions[i], true);
        if (i == 2 || i == 3)
            menu->addSeparator();
    }
}

} // namespace

int ItemTag(const QAction* item)
{
    bool ok = false;
    const int tag = item ? item->data().toInt(&ok) : -1;
    return ok ? tag : -1;
}

void SetItemTag(QAction* item, int tag) { item->setData(tag); }

void ShowCommand(QAction* item, QAction* command)
{
    item->setCheckable(command->isCheckable());
    item->setChecked(command->isChecked());
    QObject::connect(item, &QAction::triggered, command, [item, command] {
        command->trigger();
        item->setChecked(command->isChecked());
    });
    QObject::connect(command, &QAction::toggled, item, &QAction::setChecked);
}

void CheckOnly(const std::vector<QAction*>& items, const QAction* item)
{
    for (QAction* a : items)
        a->setChecked(a == item);
}

std::vector<QAction*> MenuItems(const QMenu& menu)
{
    std::vector<QAction*> items;
    for (QAction* a : menu.actions())
        if (!a->isSeparator())
            items.push_back(a);
    return items;
}

QAction* NextChecked(const QMenu& menu)
{
    const std::vector<QAction*> items = MenuItems(menu);
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i]->isChecked())
            return items[(i + 1) % items.size()];
    return nullptr;
}

void TKVideoPopupMenu::Build(QWidget* parent)
{
    popmVideo = new TBarPopupMenu(parent);
    popmVideo->setObjectName(QStringLiteral("popmVideo"));
    popmVideo->VerticalText = u"KVideo";
    popmVideo->VerticalFont.pixelSize = 19;
    popmVideo->GradientStart = gdi::RGB(0, 0, 0);
    QMenu* m = popmVideo;

    PreviosChapter1 = Item(m, "PreviosChapter1", "Previos Chapter");
    Previous1 = Item(m, "Previous1", "Previous");
    Pause1 = Item(m, "Pause1", "Pause");
    Play1 = Item(m, "Play1", "Play");
    Play1->setEnabled(false);
    Stop1 = Item(m, "Stop1", "Stop");
    Next1 = Item(m, "Next1", "Next");
    NextChapter1 = Item(m, "NextChapter1", "Next Chapter");
    m->addSeparator()->setObjectName(QStringLiteral("N2"));
    Forwardspeed1 = Submenu(m, "Forwardspeed1", "Forward speed");
    SpeedItems(Forwardspeed1);
    Backwardspeed1 = Submenu(m, "Backwardspeed1", "Backward speed");
    SpeedItems(Backwardspeed1);

    Mode1 = Submenu(m, "Mode1", "Mode");
    Fullscreen1 = Item(Mode1, "Fullscreen1", "Fullscreen", true);
    Desktopmode1 = Item(Mode1, "Desktopmode1", "Desktop", true);
    Windowmode1 = Item(Mode1, "Windowmode1", "Window", true);

    Ratio1 = Submenu(m, "Ratio1", "Ratio");
    // Menu order differs from the stored order: stretched comes first.
    static constexpr struct {
        int mode;
        const char* name;
        const char* caption;
    } ratios[] = {
        {1, "RatStretched", "Stretched"},
        {0, "RatLetterbox", "Letter Box"},
        {2, "RatCrop", "Crop"},
        {3, "Rat43", "4:3"},
        {4, "Rat54", "5:4"},
        {5, "Rat169", "16:9"},
        {6, "Rat1610", "16:10"},
        {7, "Rat2351", "2.35:1"},
        {8, "RatUserdef", "Userdefinied"},
    };
    for (const auto& r : ratios) {
        RatioItems[r.mode] = Item(Ratio1, r.name, r.caption, true);
        SetItemTag(RatioItems[r.mode], r.mode);
    }

    Zoom1 = Submenu(m, "Zoom1", "Zoom");
    static constexpr const char* zooms[] = {"miZoom25",  "miZoom50",  "miZoom75",  "miZoom100",
                                            "miZoom125", "miZoom150", "miZoom175", "miZoom200"};
    for (int i = 0; i < 8; ++i) {
        const int percent = (i + 1) * 25;
        ZoomItems[i] = Item(Zoom1, zooms[i], (std::to_string(percent) + "%").c_str(), true);
        SetItemTag(ZoomItems[i], percent);
    }

    DigitalZoom1 = Submenu(m, "DigitalZoom1", "Digital-Zoom");
    Off1 = Item(DigitalZoom1, "Off1", "Off", true);
    DigitalZoom1->addSeparator();
    N4X3 = Item(DigitalZoom1, "N4X3", "125%", true);
    N9X1 = Item(DigitalZoom1, "N9X1", "150%", true);
    N1751 = Item(DigitalZoom1, "N1751", "175%", true);
    N2001 = Item(DigitalZoom1, "N2001", "200%", true);
    QAction* const digital[] = {Off1, N4X3, N9X1, N1751, N2001};
    for (int i = 0; i < 5; ++i)
        SetItemTag(digital[i], kDigitalZooms[i]);

    screenshot1 = Submenu(m, "screenshot1", "Screenshot");
    Original1 = Item(screenshot1, "Original1", "Original");
    Angepasst1 = Item(screenshot1, "Angepasst1", "Angepasst");
    Filter1 = Submenu(m, "Filter1", "Filter");
    MonitorOutput1 = Submenu(m, "MonitorOutput1", "Monitor output");

    N1 = m->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    Showmenu1 = Submenu(m, "Showmenu1", "Show menu");
    Titlemenu1 = Item(Showmenu1, "Titlemenu1", "Title menu");
    Mainmenu1 = Item(Showmenu1, "Mainmenu1", "Root menu");
    Subtitlesmenu1 = Item(Showmenu1, "Subtitlesmenu1", "Subtitles menu");
    Audiomenu1 = Item(Showmenu1, "Audiomenu1", "Languages menu");
    Angelsmenu1 = Item(Showmenu1, "Angelsmenu1", "Angels menu");
    Chaptermenu1 = Item(Showmenu1, "Chaptermenu1", "Chapter menu");

    Audio1 = Submenu(m, "Audio1", "Audio tracks", -1);
    Subtitles1 = Submenu(m, "Subtitles1", "Subtitle streams", -1);
    Jumpto1 = Submenu(m, "Jumpto1", "Jump to", -1);
    m->addSeparator()->setObjectName(QStringLiteral("N8"));
    Toggledrawsubtitlesinvis1 = Item(m, "Toggledrawsubtitlesinvis1", "Toggle drawsubtitles (invis)");
    Toggledrawsubtitlesinvis1->setVisible(false);
    m->addSeparator()->setObjectName(QStringLiteral("N9"));
    Close1 = Item(m, "Close1", "Close");
    Close1->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
}

} // namespace kolvarin
