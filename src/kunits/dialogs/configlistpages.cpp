#include <algorithm>
#include <filesystem>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QListWidget>
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
        QGroupBox* g = AddGroup(207);
        list_ = new QListWidget(g);
        list_->setObjectName(QStringLiteral("lbIncludeExtensions"));
        list_->setSortingEnabled(true);
        list_->setMinimumHeight(300);
        AddRow(g, {}, list_);
        g = AddGroup(-1, 1);
        g->setTitle(QStringLiteral("Edit"));
        all_ = AddCheck(g, "cbAddAllFileExtensions", 208, TConfigArea::AcceptAllFiles,
                        [](TKConfig& c) -> bool& { return c.AcceptAllFiles; });
        QPushButton* add = addButton(g, "miIncExtAdd", QStringLiteral("Add..."));
        edit_ = addButton(g, "miIncExtEdit", QStringLiteral("Edit..."));
        remove_ = addButton(g, "miIncExtRemove", QStringLiteral("Remove"));
        QPushButton* reset = addButton(g, "btnIncludeExtSetDefault", Text(209));
        for (QPushButton* button : {add, edit_, remove_, reset})
            AddRow(g, {}, button);
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
        connect(add, &QPushButton::clicked, this, [this] { Add(); });
        connect(edit_, &QPushButton::clicked, this, [this] { Edit(); });
        connect(remove_, &QPushButton::clicked, this, [this] {
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
    QPushButton* edit_;
    QPushButton* remove_;
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

// The DVD graph and the table of which graph script builds the graph of
// which extension or name pattern, with its "ask" flag.
class TVideoFilterPage : public TConfigPageWidget {
public:
    TVideoFilterPage(MarkFunction mark, TfrmConfig& form)
        : TConfigPageWidget(TConfigPage::VideoFilter, std::move(mark)), form_(form)
    {
        QGroupBox* g = AddGroup(266);
        AddTextCombo(g, "cbFilterDVDGraph", {}, scriptNames("data/dvdgraphs/"), TConfigArea::DVDGraph,
                     [](TKConfig& c) -> std::string& { return c.DVDGraph; });
        g = AddGroup(267);
        table_ = new QTreeWidget(g);
        table_->setObjectName(QStringLiteral("lvDSGraphTypeList"));
        table_->setColumnCount(3);
        table_->setHeaderLabels({Text(268), Text(269), Text(270)});
        table_->setRootIsDecorated(false);
        table_->setMinimumHeight(220);
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

        AddBinding(
            {table_,
             TConfigArea::GraphScriptTable,
             Text(267),
             [this] { Fill(Config->VideoFilters); },
             {},
             [this] {
                 std::vector<TVideoFilterEntry> rows;
                 for (int i = 0; i < table_->topLevelItemCount(); ++i) {
                     const QTreeWidgetItem* row = table_->topLevelItem(i);
                     rows.push_back({ansiOf(row->text(0)), ansiOf(row->text(1)), row->text(2) == QLatin1String("X")});
                 }
                 Config->VideoFilters = std::move(rows);
             }});
        connect(table_, &QTreeWidget::currentItemChanged, this, [this] { RowSelected(); });
        connect(script_, &QComboBox::activated, this, [this] {
            if (QTreeWidgetItem* row = table_->currentItem()) {
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
            Fill(Config->VideoFilters);
        });
        Load();
    }

private:
    void Fill(const std::vector<TVideoFilterEntry>& rows)
    {
        const QSignalBlocker block(table_);
        table_->clear();
        const QStringList scripts = scriptNames("data/dsgraphs/");
        for (const TVideoFilterEntry& entry : rows) {
            auto* row = new QTreeWidgetItem(table_);
            row->setText(0, ansiText(entry.Extension));
            // A script whose file is missing shows and stays "No script".
            const QString script = ansiText(entry.Script);
            row->setText(1, scripts.contains(script) ? script : QString::fromStdU16String(Language.Texts[39]));
            row->setText(2, entry.CanAsk ? QStringLiteral("X") : QString());
        }
        RowSelected();
    }

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
        script_->addItem(QString::fromStdU16String(Language.Texts[39]));
        script_->addItems(scriptNames("data/dsgraphs/"));
        script_->setCurrentIndex(std::max(0, script_->findText(row->text(1))));
    }

    TfrmConfig& form_;
    QTreeWidget* table_;
    QComboBox* script_;
    QCheckBox* ask_;
};

} // namespace

TConfigPageWidget* CreateListConfigPage(TConfigPage page, TConfigPageWidget::MarkFunction mark, TfrmConfig& form)
{
    if (page == TConfigPage::AcceptedExtensions)
        return new TExtensionsPage(std::move(mark), form);
    return new TVideoFilterPage(std::move(mark), form);
}

} // namespace kolvarin
