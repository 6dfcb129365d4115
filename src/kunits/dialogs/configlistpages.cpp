#include <algorithm>
#include <filesystem>
#include <set>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeySequence>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

#include "core/system/kpaths.h"
#include "core/text/klanguage.h"
#include "core/text/kstrings.h"
#include "dialogs/configform.h"
#include "dialogs/configpages.h"

namespace kolvarin {

namespace {

QString ansiText(const std::string& text) { return QString::fromStdU16String(AnsiToUtf16(text)); }
std::string ansiOf(const QString& text) { return Utf16ToAnsi(text.toStdU16String()); }

QPushButton* addButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

// An extension as the list keeps it: upper case with its dot; empty when
// the text is no extension (blanks, path characters, a second dot).
QString normalExtension(QString text)
{
    text = text.trimmed().toUpper();
    if (!text.startsWith(QLatin1Char('.')))
        text.prepend(QLatin1Char('.'));
    if (text.size() < 2 || text.size() > 32)
        return {};
    for (qsizetype i = 1; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!(c >= QLatin1Char('A') && c <= QLatin1Char('Z')) && !c.isDigit() && c != QLatin1Char('_') &&
            c != QLatin1Char('-') && c != QLatin1Char('+'))
            return {};
        if (c.unicode() > 127)
            return {};
    }
    return text;
}

// The accepted extensions: a sorted list the player adds files by, or
// every file when "Add all file extensions" is ticked.
class TExtensionsPage : public TConfigPageWidget {
public:
    TExtensionsPage(MarkFunction mark, TfrmConfig& form)
        : TConfigPageWidget(TConfigPage::AcceptedExtensions, std::move(mark)), form_(form)
    {
        QGroupBox* g = AddGroup("gbAcceptedFileExtensions", 207);
        list_ = new QListWidget(g);
        list_->setObjectName(QStringLiteral("lbIncludeExtensions"));
        list_->setSortingEnabled(true);
        list_->setMinimumHeight(300);
        AddRow(g, {}, list_);
        // The list's popup menu; Delete removes while the list has the focus.
        menu_ = new QMenu(list_);
        menu_->setObjectName(QStringLiteral("pmIncludeExtensionsEdit"));
        QAction* add = menu_->addAction(QStringLiteral("Add..."));
        add->setObjectName(QStringLiteral("miIncExtAdd"));
        edit_ = menu_->addAction(QStringLiteral("Edit..."));
        edit_->setObjectName(QStringLiteral("miIncExtEdit"));
        remove_ = menu_->addAction(QStringLiteral("Remove"));
        remove_->setObjectName(QStringLiteral("miIncExtRemove"));
        remove_->setShortcut(QKeySequence::Delete);
        remove_->setShortcutContext(Qt::WidgetShortcut);
        list_->addAction(remove_);
        list_->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(list_, &QWidget::customContextMenuRequested, this,
                [this](const QPoint& at) { menu_->popup(list_->viewport()->mapToGlobal(at)); });
        g = AddGroup(nullptr, -1, 1);
        g->setTitle(QStringLiteral("Edit"));
        all_ = AddCheck(g, "cbAddAllFileExtensions", 208, TConfigArea::AcceptAllFiles,
                        [](TKConfig& c) -> bool& { return c.AcceptAllFiles; });
        // The menu's commands as buttons too, beside the list.
        for (QAction* action : {add, edit_, remove_}) {
            auto* button = new QPushButton(action->text(), g);
            connect(button, &QPushButton::clicked, action, &QAction::trigger);
            connect(action, &QAction::changed, button, [button, action] { button->setEnabled(action->isEnabled()); });
            AddRow(g, {}, button);
        }
        QPushButton* reset = addButton(g, "btnIncludeExtSetDefault", Text(209));
        AddRow(g, {}, reset);
        FinishColumns();

        AddBinding({list_,
                    TConfigArea::AcceptedExtensions,
                    Text(207),
                    [this] {
                        list_->clear();
                        for (const std::string& ext : Config->AcceptedExtensions)
                            list_->addItem(ansiText(ext));
                    },
                    {},
                    [this] {
                        Config->AcceptedExtensions.clear();
                        for (int i = 0; i < list_->count(); ++i)
                            Config->AcceptedExtensions.push_back(ansiOf(list_->item(i)->text()));
                    }});
        connect(all_, &QCheckBox::toggled, this, [this] { UpdateControls(); });
        connect(list_, &QListWidget::currentRowChanged, this, [this] { UpdateControls(); });
        connect(list_, &QListWidget::itemDoubleClicked, this, [this] { Edit(); });
        connect(add, &QAction::triggered, this, [this] { Add(); });
        connect(edit_, &QAction::triggered, this, [this] { Edit(); });
        connect(remove_, &QAction::triggered, this, [this] {
            delete list_->currentItem();
            Mark(TConfigArea::AcceptedExtensions);
        });
        connect(reset, &QPushButton::clicked, this, [this] {
            std::vector<std::string> known;
            TKConfig::FillKnownExtensions(known);
            list_->clear();
            for (const std::string& ext : known)
                list_->addItem(ansiText(ext));
            Mark(TConfigArea::AcceptedExtensions);
        });
        Load();
    }

    void Load() override
    {
        TConfigPageWidget::Load();
        UpdateControls();
    }

private:
    void UpdateControls()
    {
        list_->setEnabled(!all_->isChecked());
        const bool selected = list_->currentItem() != nullptr && list_->isEnabled();
        edit_->setEnabled(selected);
        remove_->setEnabled(selected);
    }

    // The answer as an extension the list lacks; a message otherwise.
    QString Checked(const std::optional<QString>& answer, const QString& replacing = {})
    {
        if (!answer || answer->trimmed().isEmpty())
            return {};
        const QString ext = normalExtension(*answer);
        if (ext.isEmpty()) {
            form_.Message(QStringLiteral("\"%1\" is not a file extension: use letters and digits only.").arg(*answer));
            return {};
        }
        if (ext != replacing && !list_->findItems(ext, Qt::MatchFixedString).isEmpty()) {
            form_.Message(QStringLiteral("Extension already exists !"));
            return {};
        }
        return ext;
    }

    void Add()
    {
        const QString ext =
            Checked(form_.AskText(QStringLiteral("New extension to add"), QStringLiteral("Extensions"), {}));
        if (ext.isEmpty())
            return;
        list_->addItem(ext);
        Mark(TConfigArea::AcceptedExtensions);
    }

    void Edit()
    {
        QListWidgetItem* item = list_->currentItem();
        if (!item || !list_->isEnabled())
            return;
        const QString old = item->text();
        const QString ext = Checked(
            form_.AskText(QStringLiteral("Edit extension \"%1\"").arg(old), QStringLiteral("Extensions"), old), old);
        if (ext.isEmpty() || ext == old)
            return;
        item->setText(ext);
        list_->sortItems();
        Mark(TConfigArea::AcceptedExtensions);
    }

    TfrmConfig& form_;
    QListWidget* list_;
    QCheckBox* all_;
    QMenu* menu_;
    QAction* edit_;
    QAction* remove_;
};

// Script names (without ".kgraph") in a folder of the program.
QStringList scriptNames(const std::string& folder)
{
    QStringList names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(ApplicationPath + folder, ec))
        if (entry.path().extension() == ".kgraph")
            names << QString::fromStdString(entry.path().stem().string());
    names.sort();
    return names;
}

bool graphScriptExists(const std::string& script)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(ApplicationPath + "data/dsgraphs/" + script + ".kgraph", ec);
}

QString noScript() { return QString::fromStdU16String(Language.Texts[39]); }

// The DVD graph and, per file type the graph scripts declare, which script
// builds its graph and whether the user is asked among the fitting ones.
class TVideoFilterPage : public TConfigPageWidget {
public:
    TVideoFilterPage(MarkFunction mark, TfrmConfig& form)
        : TConfigPageWidget(TConfigPage::VideoFilter, std::move(mark)), form_(form)
    {
        QGroupBox* g = AddGroup("gbFilterDVDGraph", 266);
        AddTextCombo(g, "cbFilterDVDGraph", {}, scriptNames("data/dvdgraphs/"), TConfigArea::DVDGraph,
                     [](TKConfig& c) -> std::string& { return c.DVDGraph; });
        g = AddGroup("gbFilterDSGraphs", 267);
        table_ = new QTreeWidget(g);
        table_->setObjectName(QStringLiteral("lvDSGraphTypeList"));
        table_->setColumnCount(3);
        table_->setHeaderLabels({Text(268), Text(269), Text(270)});
        table_->setRootIsDecorated(false);
        table_->setMinimumHeight(160);
        table_->setItemDelegate(new TListRowDelegate(table_));
        table_->header()->resizeSection(0, 150);
        table_->header()->resizeSection(1, 190);
        AddRow(g, {}, table_);
        script_ = new QComboBox(g);
        script_->setObjectName(QStringLiteral("cbDSActualGraphScript"));
        AddRow(g, Text(269), script_);
        ask_ = new QCheckBox(Text(271), g);
        ask_->setObjectName(QStringLiteral("cbDSActualGraphScriptAsk"));
        AddRow(g, {}, ask_);
        QPushButton* reset = addButton(g, "btnResetAllFilters", Text(272));
        AddRow(g, {}, reset);
        FinishColumns();

        AddBinding({table_, TConfigArea::GraphScriptTable, Text(267), [this] { Fill(); }, {}, [this] { StoreRows(); }});
        connect(table_, &QTreeWidget::currentItemChanged, this, [this] { RowSelected(); });
        connect(script_, &QComboBox::activated, this, [this] {
            QTreeWidgetItem* row = table_->currentItem();
            if (row && !script_->currentText().isEmpty()) {
                row->setText(1, script_->currentText());
                Mark(TConfigArea::GraphScriptTable);
            }
        });
        connect(ask_, &QCheckBox::clicked, this, [this](bool on) {
            if (QTreeWidgetItem* row = table_->currentItem()) {
                row->setText(2, on ? QStringLiteral("X") : QString());
                Mark(TConfigArea::GraphScriptTable);
            }
        });
        connect(reset, &QPushButton::clicked, this, [this] {
            if (!form_.Ask(QString::fromStdU16String(Language.Texts[47])))
                return;
            Config->SetDefaultFilters();
            Fill();
        });
        Load();
    }

    // One row per type caption, from the first graph type declaring it; its
    // script is the table's for the first extension of that caption.
    void Fill()
    {
        types_ = form_.Hooks.GraphTypes ? form_.Hooks.GraphTypes() : std::vector<TKGraphType>{};
        struct Row {
            std::string Caption, Extension;
            int Type;
        };
        std::vector<Row> rows;
        std::set<std::string> captions;
        for (size_t t = 0; t < types_.size(); ++t)
            for (const auto& [ext, caption] : types_[t].FileTypes)
                if (captions.insert(caption).second)
                    rows.push_back({caption, ext, static_cast<int>(t)});
        std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.Caption < b.Caption; });
        const QSignalBlocker block(table_);
        table_->clear();
        for (const Row& r : rows) {
            auto* row = new QTreeWidgetItem(table_);
            row->setText(0, ansiText(r.Caption));
            row->setData(0, Qt::UserRole, r.Type);
            const int found = Config->FindFilterByExtension(r.Extension);
            const TVideoFilterEntry* entry = found >= 0 ? &Config->VideoFilters[static_cast<size_t>(found)] : nullptr;
            // A script whose file is missing shows and stays "No script".
            const bool known = entry && graphScriptExists(entry->Script);
            row->setText(1, known ? ansiText(entry->Script) : noScript());
            row->setText(2, known && entry->CanAsk ? QStringLiteral("X") : QString());
        }
        RowSelected();
    }

private:
    // The pairs of the row's graph type that carry the row's caption.
    template <typename Each>
    void ForEachPairOf(const QTreeWidgetItem& row, Each&& each) const
    {
        const TKGraphType& type = types_[static_cast<size_t>(row.data(0, Qt::UserRole).toInt())];
        const std::string caption = ansiOf(row.text(0));
        for (const auto& [ext, typeCaption] : type.FileTypes)
            if (typeCaption == caption)
                each(ext);
    }

    // Each row's pairs become the table's entries; entries of extensions no
    // row covers (no script here declares them) are kept after them.
    void StoreRows()
    {
        std::vector<TVideoFilterEntry> entries;
        std::set<std::string> covered;
        for (int i = 0; i < table_->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* row = table_->topLevelItem(i);
            ForEachPairOf(*row, [&](const std::string& ext) {
                entries.push_back({ext, ansiOf(row->text(1)), row->text(2) == QLatin1String("X")});
                covered.insert(AnsiLowerCase(ext));
            });
        }
        for (const TVideoFilterEntry& entry : Config->VideoFilters)
            if (!covered.count(AnsiLowerCase(entry.Extension)))
                entries.push_back(entry);
        Config->VideoFilters = std::move(entries);
    }

    // The scripts whose graph type declares the row's caption, after "No script".
    void RowSelected()
    {
        QTreeWidgetItem* row = table_->currentItem();
        const QSignalBlocker blockScript(script_), blockAsk(ask_);
        script_->clear();
        script_->setEnabled(row != nullptr);
        ask_->setEnabled(row != nullptr);
        ask_->setChecked(row && row->text(2) == QLatin1String("X"));
        if (!row)
            return;
        script_->addItem(noScript());
        const std::string caption = ansiOf(row->text(0));
        for (const TKGraphType& type : types_) {
            const QString name = ansiText(type.Script);
            const bool declares = std::any_of(type.FileTypes.begin(), type.FileTypes.end(),
                                              [&](const auto& pair) { return pair.second == caption; });
            if (declares && script_->findText(name, Qt::MatchFixedString | Qt::MatchCaseSensitive) < 0)
                script_->addItem(name);
        }
        script_->setCurrentIndex(std::max(0, script_->findText(row->text(1))));
    }

    TfrmConfig& form_;
    QTreeWidget* table_;
    QComboBox* script_;
    QCheckBox* ask_;
    std::vector<TKGraphType> types_;
};

} // namespace

void RefillGraphScriptTable(TConfigPageWidget& page)
{
    if (auto* filters = dynamic_cast<TVideoFilterPage*>(&page))
        filters->Fill();
}

TConfigPageWidget* CreateListConfigPage(TConfigPage page, TConfigPageWidget::MarkFunction mark, TfrmConfig& form)
{
    if (page == TConfigPage::AcceptedExtensions)
        return new TExtensionsPage(std::move(mark), form);
    return new TVideoFilterPage(std::move(mark), form);
}

} // namespace kolvarin
