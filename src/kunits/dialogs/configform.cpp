#include "dialogs/configform.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/text/klanguage.h"
#include "dialogs/captionstrip.h"
#include "dialogs/configfollow.h"
#include "dialogs/configpages.h"
#include "dialogs/indicatorstyle.h"
#include "playback/ksystem.h"

namespace kolvarin {

TfrmConfig* frmConfig = nullptr;
std::function<void()> ConfigDialogFactory;

namespace {

constexpr TConfigPage kTop = TConfigPage::Count;

constexpr TConfigPageInfo kPages[kConfigPageCount] = {
    {"General", 132, kTop},
    {"Filetypes", 133, TConfigPage::General},
    {"Shortcuts", 134, TConfigPage::General},
    {"Mouse", 148, TConfigPage::General},
    {"Playlist", 135, kTop},
    {"AcceptedExtensions", 136, TConfigPage::Playlist},
    {"Skins", 137, kTop},
    {"Languages", 138, kTop},
    {"Audio", 139, kTop},
    {"AudioOutput", 140, TConfigPage::Audio},
    {"AudioLivestreaming", 141, TConfigPage::Audio},
    {"Video", 142, kTop},
    {"VideoFilter", 143, TConfigPage::Video},
    {"VideoOSD", 144, TConfigPage::Video},
    {"VideoDefault", 145, TConfigPage::Video},
    {"VideoFullscreen", 146, TConfigPage::Video},
    {"System", 147, kTop},
    {"Notifications", 149, kTop},
};

QString languageText(int position) { return QString::fromStdU16String(Language.Texts[static_cast<size_t>(position)]); }

// The dialog's look on the skin's palette: quiet panels, one accent colour.
const char* const kStyle = R"(
QTreeWidget#tvConfigNodes { background: #252932; border: none; border-right: 1px solid #343A46;
    padding: 8px 0; outline: 0; }
QTreeWidget#tvConfigNodes::item { padding-left: 2px; color: #E4E7EC; border: none; }
QTreeWidget#tvConfigNodes::item:hover { background: #2C313B; }
QTreeWidget#tvConfigNodes::item:selected { background: #2E3A4A; color: #4CC2FF; }
QLabel { color: #C8CDD6; }
QLabel#lblBookTitle { font-size: 15pt; font-weight: bold; color: #E4E7EC; }
QLabel#lblError { color: #FF6B5B; }
QGroupBox { border: 1px solid #343A46; border-radius: 6px; margin-top: 14px; padding: 8px 8px 6px 8px;
    background: #21252D; }
QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 10px; padding: 0 4px;
    color: #9AA3B2; font-weight: bold; }
QLineEdit, QComboBox, QSpinBox { background: #1D2026; border: 1px solid #343A46; border-radius: 4px;
    padding: 3px 6px; color: #E4E7EC; selection-background-color: #2E9BD6; min-height: 18px; }
QLineEdit:focus, QComboBox:focus, QSpinBox:focus { border-color: #4CC2FF; }
QLineEdit:disabled, QComboBox:disabled, QSpinBox:disabled { color: #5A6272; }
QLineEdit[refused="true"] { border: 1px solid #FF6B5B; }
QComboBox QAbstractItemView { background: #252932; color: #E4E7EC; selection-background-color: #2E3A4A; }
QPushButton { background: #2C313B; border: 1px solid #343A46; border-radius: 4px; padding: 5px 16px;
    color: #E4E7EC; min-width: 64px; }
QPushButton:hover { background: #343A46; }
QPushButton:pressed { background: #2E9BD6; }
QPushButton:disabled { color: #5A6272; background: #252932; }
QPushButton:checked { background: #4CC2FF; border-color: #4CC2FF; }
QPushButton#btnOK { background: #2E9BD6; border-color: #2E9BD6; color: #FFFFFF; }
QPushButton#btnOK:hover { background: #4CC2FF; }
QCheckBox, QRadioButton { spacing: 8px; color: #E4E7EC; }
QCheckBox:disabled, QRadioButton:disabled, QLabel:disabled { color: #5A6272; }
QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; border: none; }
QTreeWidget, QListWidget, QPlainTextEdit { background: #1D2026; color: #E4E7EC; border: 1px solid #343A46;
    border-radius: 4px; selection-background-color: #2E3A4A; selection-color: #4CC2FF; outline: 0; }
QTreeWidget#lvDSGraphTypeList { background: #FFFFFF; }
QHeaderView::section { background: #252932; color: #9AA3B2; border: none; border-bottom: 1px solid #343A46;
    padding: 4px 6px; }
)";

} // namespace

bool IsConfigPageReady(TConfigPage page)
{
    switch (page) {
    default: return true;
    }
}

const TConfigPageInfo& ConfigPageInfo(TConfigPage page) { return kPages[static_cast<size_t>(page)]; }

TfrmConfig::TfrmConfig(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmConfig"));
    setWindowTitle(QStringLiteral("Configuration"));
    ApplyDialogPalette(this);
    setStyleSheet(QString::fromLatin1(kStyle));
    resize(DesignedSize({692, 469}, font()));
    indicators_ = new TIndicatorStyle;
    indicators_->setParent(this);
    BuildFrame();
}

TfrmConfig::~TfrmConfig()
{
    if (frmConfig == this)
        frmConfig = nullptr;
}

void TfrmConfig::BuildFrame()
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(1, 1, 1, 1);
    outer->setSpacing(0);
    auto* strip = new TCaptionStrip(this);
    strip->setFixedHeight(28);
    outer->addWidget(strip);

    auto* body = new QHBoxLayout;
    body->setSpacing(0);
    outer->addLayout(body, 1);
    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("tvConfigNodes"));
    tree_->setHeaderHidden(true);
    tree_->setIndentation(35);
    tree_->setRootIsDecorated(false);
    tree_->setItemsExpandable(false);
    tree_->setIconSize(QSize(32, 32));
    tree_->setFixedWidth(212);
    tree_->setFocusPolicy(Qt::StrongFocus);
    body->addWidget(tree_);

    auto* right = new QVBoxLayout;
    right->setContentsMargins(16, 10, 16, 10);
    right->setSpacing(6);
    body->addLayout(right, 1);
    title_ = new QLabel(this);
    title_->setObjectName(QStringLiteral("lblBookTitle"));
    right->addWidget(title_);
    stack_ = new QStackedWidget(this);
    stack_->setObjectName(QStringLiteral("nbConfigPages"));
    right->addWidget(stack_, 1);

    for (int i = 0; i < kConfigPageCount; ++i) {
        const TConfigPageInfo& info = kPages[i];
        QTreeWidgetItem* node = info.Parent == kTop ? new QTreeWidgetItem(tree_)
                                                    : new QTreeWidgetItem(nodes_[static_cast<size_t>(info.Parent)]);
        node->setText(0, languageText(info.TreeText));
        node->setIcon(0, imglstConfigNodes32[static_cast<size_t>(i)]);
        node->setData(0, Qt::UserRole, i);
        node->setHidden(!IsConfigPageReady(static_cast<TConfigPage>(i)));
        nodes_[static_cast<size_t>(i)] = node;
        // A placeholder holds each page's place in the notebook until it is built.
        auto* holder = new QScrollArea(stack_);
        holder->setObjectName(QString::fromLatin1(info.Name));
        holder->setWidgetResizable(true);
        holder->setFrameShape(QFrame::NoFrame);
        holders_[static_cast<size_t>(i)] = holder;
        stack_->addWidget(holder);
    }
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* node) {
        if (node)
            ShowPage(static_cast<TConfigPage>(node->data(0, Qt::UserRole).toInt()));
    });

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(16, 10, 16, 12);
    buttons->setSpacing(8);
    defaults_ = new QPushButton(languageText(129), this);
    defaults_->setObjectName(QStringLiteral("btnSetTotalDefault"));
    error_ = new QLabel(this);
    error_->setObjectName(QStringLiteral("lblError"));
    error_->setWordWrap(true);
    ok_ = new QPushButton(languageText(128), this);
    ok_->setObjectName(QStringLiteral("btnOK"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(languageText(126), this);
    cancel_->setObjectName(QStringLiteral("btnClose"));
    apply_ = new QPushButton(languageText(127), this);
    apply_->setObjectName(QStringLiteral("btnApply"));
    buttons->addWidget(defaults_);
    buttons->addWidget(error_, 1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addWidget(apply_);
    auto* line = new QFrame(this);
    line->setFixedHeight(1);
    line->setStyleSheet(QStringLiteral("background: #343A46;"));
    outer->addWidget(line);
    outer->addLayout(buttons);

    connect(apply_, &QPushButton::clicked, this, [this] { Apply(); });
    connect(ok_, &QPushButton::clicked, this, [this] {
        if (Apply())
            hide();
    });
    connect(cancel_, &QPushButton::clicked, this, &QWidget::hide);
    connect(defaults_, &QPushButton::clicked, this, [this] { RestoreDefaults(); });
}

TConfigPageWidget* TfrmConfig::Page(TConfigPage page)
{
    const auto index = static_cast<size_t>(page);
    if (pages_[index])
        return pages_[index];
    auto mark = [this](TConfigArea area) { MarkArea(area); };
    auto* holder = static_cast<QScrollArea*>(holders_[index]);
    TConfigPageWidget* built = nullptr;
    if (page == TConfigPage::VideoOSD)
        built = CreateOSDConfigPage(mark, holder);
    else if (page == TConfigPage::AcceptedExtensions || page == TConfigPage::VideoFilter)
        built = CreateListConfigPage(page, mark, *this);
    else if (page == TConfigPage::Shortcuts)
        built = CreateHotKeysConfigPage(mark);
    else if (page == TConfigPage::Filetypes)
        built = CreateFileTypesConfigPage(mark, *this);
    else if (page == TConfigPage::Skins || page == TConfigPage::Languages)
        built = CreateSkinConfigPage(page, mark, *this);
    else
        built = CreateSimpleConfigPage(page, mark, holder, *this);
    if (!built)
        return nullptr;
    holder->setWidget(built);
    pages_[index] = built;
    for (QCheckBox* box : built->findChildren<QCheckBox*>())
        box->setStyle(indicators_);
    for (QRadioButton* radio : built->findChildren<QRadioButton*>())
        radio->setStyle(indicators_);
    return built;
}

void TfrmConfig::ShowPage(TConfigPage page)
{
    const auto index = static_cast<size_t>(page);
    // Choosing the node comes back here through the tree's signal.
    if (tree_->currentItem() != nodes_[index]) {
        tree_->setCurrentItem(nodes_[index]);
        if (tree_->currentItem() == nodes_[index])
            return;
    }
    current_ = page;
    // Only the chosen page's branch stands open: all eighteen rows of
    // 32-pixel images would not fit in the dialog's height.
    const TConfigPage branch = kPages[index].Parent == kTop ? page : kPages[index].Parent;
    for (size_t i = 0; i < nodes_.size(); ++i)
        if (kPages[i].Parent == kTop)
            nodes_[i]->setExpanded(static_cast<TConfigPage>(i) == branch);
    const bool built = pages_[index] != nullptr;
    TConfigPageWidget* shown = Page(page);
    // Choosing the node starts the hot-key editor afresh.
    if (built && page == TConfigPage::Shortcuts)
        shown->Load();
    stack_->setCurrentWidget(holders_[index]);
    title_->setText(languageText(kPages[index].TreeText));
    // Scripts dropped into the folder since show up when the video pages are opened.
    if (page == TConfigPage::Video)
        if (TConfigPageWidget* filters = pages_[static_cast<size_t>(TConfigPage::VideoFilter)])
            RefillGraphScriptTable(*filters);
}

void TfrmConfig::Message(const QString& text) const
{
    if (Hooks.ShowMessage)
        Hooks.ShowMessage(text);
}

bool TfrmConfig::Ask(const QString& question)
{
    if (Hooks.AskYesNo)
        return Hooks.AskYesNo(question);
    return QMessageBox::question(this, QStringLiteral("Kolvarin"), question) == QMessageBox::Yes;
}

std::optional<QString> TfrmConfig::AskText(const QString& title, const QString& prompt, const QString& text)
{
    if (Hooks.AskText)
        return Hooks.AskText(title, prompt, text);
    bool ok = false;
    const QString answer = QInputDialog::getText(this, title, prompt, QLineEdit::Normal, text, &ok);
    return ok ? std::optional<QString>(answer) : std::nullopt;
}

// After a language change: new texts for the frame, and every page built
// again from the settings when next shown (Apply stored all it held).
void TfrmConfig::Retranslate()
{
    for (int i = 0; i < kConfigPageCount; ++i) {
        nodes_[static_cast<size_t>(i)]->setText(0, languageText(kPages[i].TreeText));
        if (TConfigPageWidget* page = pages_[static_cast<size_t>(i)]) {
            static_cast<QScrollArea*>(holders_[static_cast<size_t>(i)])->takeWidget();
            page->deleteLater();
            pages_[static_cast<size_t>(i)] = nullptr;
        }
    }
    defaults_->setText(languageText(129));
    ok_->setText(languageText(128));
    cancel_->setText(languageText(126));
    apply_->setText(languageText(127));
    ShowPage(current_);
}

void TfrmConfig::MarkArea(TConfigArea area)
{
    marked_.set(static_cast<size_t>(area));
    UpdateApplyButton();
}

void TfrmConfig::UnmarkArea(TConfigArea area)
{
    marked_.reset(static_cast<size_t>(area));
    UpdateApplyButton();
}

bool TfrmConfig::AnyChanged() const
{
    if (!SelectedSkinName.empty() || !SelectedLanguageName.empty())
        return true;
    // The registry areas count for every user: the registry is the user's own file.
    return marked_.any();
}

void TfrmConfig::ClearChangeFlags()
{
    SelectedSkinName.clear();
    SelectedLanguageName.clear();
    marked_.reset();
}

void TfrmConfig::UpdateApplyButton() { apply_->setEnabled(AnyChanged()); }

QString TfrmConfig::ErrorText() const { return error_->text(); }

void TfrmConfig::ShowError(const TFieldError& error)
{
    ClearError();
    error_->setText(error.Message);
    errorField_ = error.Control;
    for (int i = 0; i < kConfigPageCount; ++i)
        if (pages_[static_cast<size_t>(i)] && pages_[static_cast<size_t>(i)]->isAncestorOf(error.Control))
            ShowPage(static_cast<TConfigPage>(i));
    error.Control->setProperty("refused", true);
    error.Control->style()->polish(error.Control);
    error.Control->setFocus();
}

void TfrmConfig::ClearError()
{
    error_->clear();
    if (errorField_) {
        errorField_->setProperty("refused", false);
        errorField_->style()->polish(errorField_);
        errorField_ = nullptr;
    }
}

void TfrmConfig::RestoreDefaults()
{
    Config->SetDefaults();
    // The controls show what now holds, so a later Apply cannot write old values back.
    for (TConfigPageWidget* page : pages_)
        if (page)
            page->Load();
    ClearChangeFlags();
    UpdateApplyButton();
    if (Hooks.ArrangeWindows)
        Hooks.ArrangeWindows();
}

void TfrmConfig::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    ClearError();
    for (TConfigPageWidget* page : pages_)
        if (page)
            page->Load();
    ClearChangeFlags();
    UpdateApplyButton();
    if (!tree_->currentItem())
        ShowPage(TConfigPage::General);
}

void TfrmConfig::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (PlaySystem)
        PlaySystem->SwapMemory();
}

void ConfigControlFollows(const char* name, int value)
{
    if (!frmConfig)
        return;
    const QString control = QString::fromLatin1(name);
    if (auto* box = frmConfig->findChild<QCheckBox*>(control))
        box->setChecked(value != 0);
    else if (auto* radio = frmConfig->findChild<QRadioButton*>(QStringLiteral("%1_%2").arg(control).arg(value)))
        radio->setChecked(true);
}

void ShowConfigDialog(QWidget* parent, TConfigPage page)
{
    if (!frmConfig && ConfigDialogFactory)
        ConfigDialogFactory();
    if (!frmConfig)
        return;
    const bool wasVisible = frmConfig->isVisible();
    frmConfig->show();
    frmConfig->ShowPage(page);
    if (!wasVisible) {
        QRect area = parent ? parent->frameGeometry() : QRect();
        if (area.isEmpty())
            if (const QScreen* screen = QGuiApplication::primaryScreen())
                area = screen->availableGeometry();
        QPoint at = area.center() - QPoint(frmConfig->width() / 2, frmConfig->height() / 2);
        if (const QScreen* screen = QGuiApplication::screenAt(area.center())) {
            const QRect bounds = screen->availableGeometry();
            at.setX(std::clamp(at.x(), bounds.left(), std::max(bounds.left(), bounds.right() - frmConfig->width())));
            at.setY(std::clamp(at.y(), bounds.top(), std::max(bounds.top(), bounds.bottom() - frmConfig->height())));
        }
        frmConfig->move(at);
    }
    frmConfig->raise();
    frmConfig->activateWindow();
}

} // namespace kolvarin
