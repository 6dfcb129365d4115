#include <cstdlib>
#include <filesystem>

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "core/system/kfiletypes.h"
#include "core/system/kpaths.h"
#include "dialogs/configform.h"
#include "dialogs/configpages.h"
#include "htmllist/markupchecklist.h"

namespace kolvarin {

namespace {

using registry::TRegistry;

std::string programFile()
{
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec).string();
}

enum TChoice { chRegister, chUnregister, chNone };

// A long caption on two lines, broken at the blank nearest its middle.
QString TwoLines(QString text)
{
    if (text.size() <= 30)
        return text;
    const qsizetype middle = text.size() / 2;
    qsizetype best = -1;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == QLatin1Char(' ') && (best < 0 || std::abs(i - middle) < std::abs(best - middle)))
            best = i;
    if (best >= 0)
        text[best] = QLatin1Char('\n');
    return text;
}

// The dialog's field and button colours (its white and button face).
const TColor kFieldColor = RGBColor(0x1D, 0x20, 0x26);
const TColor kButtonFaceColor = RGBColor(0x2C, 0x31, 0x3B);

// The file-types page: every extension the player can register under three
// headings, checked when it is registered to the player; Apply registers or
// unregisters the checked ones and says whether that worked.
class TFileTypesPage : public TConfigPageWidget {
public:
    TFileTypesPage(MarkFunction mark, TfrmConfig& form)
        : TConfigPageWidget(TConfigPage::Filetypes, std::move(mark)), form_(form)
    {
        QGroupBox* g = AddGroup(nullptr, -1);
        g->setTitle(Text(133));
        list_ = new TMarkupCheckList(g);
        list_->setObjectName(QStringLiteral("clbFiletypes"));
        list_->setMinimumSize(200, 300);
        AddRow(g, {}, list_);
        list_->OnCheckClick = [this](TMarkupCheckList*) { HeadingClicked(); };
        list_->SetFontColor(RGBColor(0xE4, 0xE7, 0xEC));

        g = AddGroup(nullptr, -1, 1);
        g->setTitle(QStringLiteral("Action"));
        choice_ = new QButtonGroup(g);
        const char* names[] = {"rbRegFiletypes", "rbUnregFiletypes", "rbNoneFiletypes"};
        for (int i = 0; i < 3; ++i) {
            auto* radio = new QRadioButton(Text(175 + i), g);
            radio->setObjectName(QString::fromLatin1(names[i]));
            choice_->addButton(radio, i);
            AddRow(g, {}, radio);
        }
        all_ = Button(g, "btnFTSelectAll", 180);
        none_ = Button(g, "btnFTSelectNone", 179);
        refresh_ = Button(g, "btnRefreshFiletypes", 178);
        connect(choice_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
            if (on)
                Choose(id);
        });
        connect(all_, &QPushButton::clicked, this, [this] { CheckAll(true); });
        connect(none_, &QPushButton::clicked, this, [this] { CheckAll(false); });
        connect(refresh_, &QPushButton::clicked, this, [this] { Fill(); });

        g = AddGroup(nullptr, -1, 1);
        g->setTitle(QStringLiteral("Context menus"));
        menu_ = Box(g, "cbGeneralEnableContextMenu", 181, TConfigArea::ContextMenu);
        dvdMenu_ = Box(g, "cbGeneralEnableContextMenuDVD", 182, TConfigArea::DVDContextMenu);
        FinishColumns();
        Load();
    }

    // "None" is chosen and the list shows the registry as it is.
    void Load() override
    {
        TConfigPageWidget::Load();
        choice_->button(chNone)->setChecked(true);
        Choose(chNone);
        Fill();
        const TRegistry reg = OpenUserRegistry();
        const QSignalBlocker blockMenu(menu_), blockDvd(dvdMenu_);
        menu_->setChecked(IsContextMenuRegistered(reg));
        dvdMenu_->setChecked(IsDVDContextRegistered(reg));
    }

    void Store(TConfigArea area) override
    {
        const std::string exe = programFile();
        if (area == TConfigArea::FileTypes && choice_->checkedId() != chNone)
            RegisterChecked(exe);
        else if (area == TConfigArea::ContextMenu)
            Change([&](TRegistry& reg) {
                if (menu_->isChecked())
                    RegisterApplicationContextMenu(reg, exe);
                else
                    UnregisterApplication(reg);
            });
        else if (area == TConfigArea::DVDContextMenu)
            Change([&](TRegistry& reg) {
                if (dvdMenu_->isChecked())
                    RegisterDVD(reg, exe, ApplicationPath + "data/icons/dvd.ico");
                else
                    UnregisterDVD(reg);
            });
    }

private:
    QPushButton* Button(QGroupBox* group, const char* name, int caption)
    {
        auto* button = new QPushButton(Text(caption), group);
        button->setObjectName(QString::fromLatin1(name));
        AddRow(group, {}, button);
        return button;
    }
    // A check box that marks its area.
    QCheckBox* Box(QGroupBox* group, const char* name, int caption, TConfigArea area)
    {
        auto* box = new QCheckBox(TwoLines(Text(caption)), group);
        box->setObjectName(QString::fromLatin1(name));
        AddRow(group, {}, box);
        connect(box, &QCheckBox::toggled, this, [this, area] { Mark(area); });
        return box;
    }

    // The registry is read once; the headings' check states are remembered
    // so that a click on one can be told apart.
    void Fill()
    {
        const TRegistry reg = OpenUserRegistry();
        list_->Clear();
        headings_.clear();
        const std::vector<TKRegisteredType> types = RegisteredFileTypes();
        auto group = [&](const char* title, auto belongs) {
            headings_.push_back(list_->Add(std::string("<b>[ ") + title + " ]</b>"));
            for (const TKRegisteredType& type : types)
                if (belongs(type.Type))
                    list_->SetChecked(list_->Add(type.Extension), IsExtensionRegistered(reg, type.Extension));
        };
        group("Audio", [](TSystemType t) {
            return t == TSystemType::BassFile || t == TSystemType::DirectXAudio || t == TSystemType::CDTrack;
        });
        group("Video", [](TSystemType t) { return t == TSystemType::DirectXVideo || t == TSystemType::DVD; });
        group("Other", [](TSystemType t) { return t == TSystemType::None; });
        headingStates_.assign(headings_.size(), false);
    }

    // A heading's new state goes to every item up to the next heading.
    void HeadingClicked()
    {
        for (size_t h = 0; h < headings_.size(); ++h) {
            const bool state = list_->GetChecked(headings_[h]);
            if (state == headingStates_[h])
                continue;
            headingStates_[h] = state;
            const int end = h + 1 < headings_.size() ? headings_[h + 1] : list_->Count();
            for (int i = headings_[h] + 1; i < end; ++i)
                list_->SetChecked(i, state);
        }
    }

    void CheckAll(bool checked)
    {
        for (int i = 0; i < list_->Count(); ++i)
            list_->SetChecked(i, checked);
        for (size_t h = 0; h < headings_.size(); ++h)
            headingStates_[h] = checked;
        Mark(TConfigArea::FileTypes);
    }

    // "Register" and "Unregister" mark the area, enable the buttons and show
    // the list as a field (white on a light desktop); "None" clears the mark,
    // so Apply touches no file type, and shows it in the buttons' colour.
    void Choose(int id)
    {
        const bool acting = id != chNone;
        for (QPushButton* button : {all_, none_, refresh_})
            button->setEnabled(acting);
        list_->SetColor(acting ? kFieldColor : kButtonFaceColor);
        if (acting)
            Mark(TConfigArea::FileTypes);
        else
            form_.UnmarkArea(TConfigArea::FileTypes);
    }

    void RegisterChecked(const std::string& exe)
    {
        const bool registering = choice_->checkedId() == chRegister;
        const std::string icons = ApplicationPath + "data/icons/";
        std::vector<TKRegisteredType> checked;
        for (int i = 0; i < list_->Count(); ++i)
            if (list_->GetChecked(i))
                for (const TKRegisteredType& type : RegisteredFileTypes())
                    if (type.Extension == list_->Item(i))
                        checked.push_back(type);
        TRegistry reg = OpenUserRegistry();
        for (const TKRegisteredType& type : checked) {
            if (registering)
                RegisterExtension(reg, type.Extension, exe, icons + type.IconFile);
            else
                UnregisterExtension(reg, type.Extension);
        }
        const bool saved = reg.Flush();
        const bool desktop = saved && UpdateDesktopFile(reg, exe);
        if (saved && desktop)
            form_.Message(registering ? QStringLiteral("Filetypes registered successfully.")
                                      : QStringLiteral("Filetypes unregistered successfully."));
        else
            form_.Message(QStringLiteral("The file types could not be %1: %2 could not be written.")
                              .arg(registering ? QStringLiteral("registered") : QStringLiteral("unregistered"),
                                   saved ? QString::fromStdString(DesktopFileName())
                                         : QString::fromStdString(UserPath + "registry")));
        Fill();
    }

    template <typename Action>
    void Change(Action&& action)
    {
        TRegistry reg = OpenUserRegistry();
        action(reg);
        if (!reg.Flush())
            form_.Message(QStringLiteral("The context menu setting could not be saved: %1 could not be written.")
                              .arg(QString::fromStdString(UserPath + "registry")));
    }

    TfrmConfig& form_;
    TMarkupCheckList* list_;
    QButtonGroup* choice_;
    QPushButton* all_;
    QPushButton* none_;
    QPushButton* refresh_;
    QCheckBox* menu_;
    QCheckBox* dvdMenu_;
    std::vector<int> headings_;
    std::vector<bool> headingStates_;
};

} // namespace

TConfigPageWidget* CreateFileTypesConfigPage(TConfigPageWidget::MarkFunction mark, TfrmConfig& form)
{
    return new TFileTypesPage(std::move(mark), form);
}

} // namespace kolvarin
