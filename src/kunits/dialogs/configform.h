#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include <QIcon>
#include <QWidget>

#include "dialogs/configpage.h"
#include "dialogs/configtypes.h"
#include "zip/ziphandler.h"

class QLabel;
class QStyle;
class QPushButton;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace kolvarin {

// The configuration dialog: a tree of pages, the page shown beside it, and
// "Ok", "Cancel" and "Apply". Pages are built when first shown. Controls
// only mark their area; Apply first checks every marked field of every
// page and, when one is refused, shows why at that field and changes
// nothing; otherwise it stores and re-applies the marked areas in a fixed
// order (each step logged) and clears the marks. Showing the dialog reloads
// every built page from Config and drops unapplied changes. Main thread
// only; Config must exist while the dialog does.
class TfrmConfig : public QWidget {
public:
    explicit TfrmConfig(QWidget* parent = nullptr);
    ~TfrmConfig() override;

    // How Apply reaches the windows and services; set by the program.
    TKConfigHooks Hooks;

    // The page, built and loaded on first use.
    TConfigPageWidget* Page(TConfigPage page);
    bool IsPageBuilt(TConfigPage page) const { return pages_[static_cast<size_t>(page)] != nullptr; }
    void ShowPage(TConfigPage page);
    TConfigPage CurrentPage() const { return current_; }

    void MarkArea(TConfigArea area);
    void UnmarkArea(TConfigArea area);
    bool IsMarked(TConfigArea area) const { return marked_.test(static_cast<size_t>(area)); }
    bool AnyChanged() const;
    void ClearChangeFlags();
    void UpdateApplyButton();

    // True when everything marked was stored and re-applied; false when a
    // field was refused (see ErrorText), with Config untouched.
    bool Apply();
    // The refusal shown under the page; empty after a good Apply.
    QString ErrorText() const;

    // Loads and applies a skin through the hook (the built-in one on
    // failure), stores the name now shown in Config and refreshes the skin
    // page. Nothing for an empty name. The command line's skin package uses it.
    void ApplySkin(const std::string& name);
    // An information box, a Yes/No question and an input box, through the
    // hooks when set.
    void Message(const QString& text) const;
    bool Ask(const QString& question);
    std::optional<QString> AskText(const QString& title, const QString& prompt, const QString& text);
    // The dialog's zip component, which unpacks skin previews.
    TZipHandler Zip;

    // A skin chosen on the skin page (or the current one after a colour
    // blend change) and a chosen language; empty when unchanged.
    std::string SelectedSkinName;
    std::string SelectedLanguageName;

    QTreeWidget* tvConfigNodes() const { return tree_; }
    QLabel* lblBookTitle() const { return title_; }
    QPushButton* btnOK() const { return ok_; }
    QPushButton* btnApply() const { return apply_; }
    QPushButton* btnCancel() const { return cancel_; }
    QPushButton* btnSetTotalDefault() const { return defaults_; }
    // The page tree's 32-pixel node images, by the node's absolute index.
    static std::array<QIcon, kConfigPageCount> ConfigNodeImages();
    const std::array<QIcon, kConfigPageCount> imglstConfigNodes32 = ConfigNodeImages();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void BuildFrame();
    void ShowError(const TFieldError& error);
    void ClearError();
    void RestoreDefaults();
    void StoreArea(TConfigArea area);
    void RunSteps();
    void ApplyLanguage();
    void Retranslate();

    std::array<TConfigPageWidget*, kConfigPageCount> pages_{};
    std::array<QTreeWidgetItem*, kConfigPageCount> nodes_{};
    std::array<QWidget*, kConfigPageCount> holders_{};
    TConfigAreas marked_;
    TConfigPage current_ = TConfigPage::General;
    QTreeWidget* tree_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* error_ = nullptr;
    QWidget* errorField_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* apply_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* defaults_ = nullptr;
    QStyle* indicators_ = nullptr; // owned as a child object
};

// The program's configuration dialog while it exists. It is built when it
// is first opened: ConfigDialogFactory (set by the program) builds it and
// sets frmConfig.
extern TfrmConfig* frmConfig;
extern std::function<void()> ConfigDialogFactory;

// Shows the configuration dialog on a page, centred on Parent (on the
// screen when there is none) and in front; reloads it when it was hidden.
// Builds it first when it does not exist yet; nothing without it. The main
// window's button and menu call it.
void ShowConfigDialog(QWidget* parent, TConfigPage page = TConfigPage::General);

} // namespace kolvarin
