#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "core/settings/khotkeys.h"
#include "core/text/kstrings.h"
#include "dialogs/configpages.h"
#include "keyhook/keycodes.h"

namespace kolvarin {

namespace {

QString keyText(uint16_t key, uint8_t shift)
{
    return QString::fromStdU16String(AnsiToUtf16((shift ? ShiftStateText(shift) : std::string()) + KeyName(key)));
}

// Shows the key pressed with the modifiers held; the modifier keys alone
// count as no key. Every key, Tab included, is taken, none typed.
class THotKeyEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
    std::function<void(uint16_t key, uint8_t shift)> OnKey;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            keyPressEvent(static_cast<QKeyEvent*>(event));
            return true;
        }
        return QLineEdit::event(event);
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        const int qtKey = event->key();
        const bool modifierOnly =
            qtKey == Qt::Key_Control || qtKey == Qt::Key_Alt || qtKey == Qt::Key_Shift || qtKey == Qt::Key_Meta;
        const Qt::KeyboardModifiers held = event->modifiers();
        const uint8_t shift = (held & Qt::ShiftModifier ? hkShift : 0) | (held & Qt::AltModifier ? hkAlt : 0) |
                              (held & Qt::ControlModifier ? hkCtrl : 0);
        if (OnKey)
            OnKey(modifierOnly ? 0 : keyhook::VirtualKeyFromQtKey(qtKey), shift);
    }
};

// The shortcut page edits the hot-key table at once: Add, Edit, Delete and
// Reset change HotKeys without Apply (it is saved at shutdown).
class THotKeysPage : public TConfigPageWidget {
public:
    explicit THotKeysPage(MarkFunction mark) : TConfigPageWidget(TConfigPage::Shortcuts, std::move(mark))
    {
        QGroupBox* g = AddGroup(nullptr, -1);
        g->setTitle(Text(134));
        list_ = new QTreeWidget(g);
        list_->setObjectName(QStringLiteral("lvHotkeys"));
        list_->setColumnCount(3);
        list_->setHeaderLabels({Text(389), Text(390), Text(396)});
        list_->setRootIsDecorated(false);
        list_->setItemDelegate(new TListRowDelegate(list_));
        list_->setMinimumSize(220, 300);
        list_->header()->resizeSection(0, 140);
        list_->header()->resizeSection(1, 80);
        AddRow(g, {}, list_);

        g = AddGroup(nullptr, -1, 1);
        g->setTitle(Text(394));
        actions_ = new QComboBox(g);
        actions_->setObjectName(QStringLiteral("cbHotkeyPrograms"));
        actions_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        actions_->setMinimumContentsLength(10);
        AddRow(g, Text(389), actions_);
        edit_ = new THotKeyEdit(g);
        edit_->setObjectName(QStringLiteral("editHotkey"));
        AddRow(g, Text(390), edit_);
        global_ = new QCheckBox(Text(397), g);
        global_->setObjectName(QStringLiteral("cbHKeySystemwide"));
        AddRow(g, {}, global_);
        add_ = Button(g, "btnAddHotkey", 392);
        change_ = Button(g, "btnEditHotkey", 394);
        delete_ = Button(g, "btnDelHotkey", 393);
        reset_ = Button(g, "btnDefaultHotkey", 391);
        FinishColumns();

        edit_->OnKey = [this](uint16_t key, uint8_t shift) {
            typedKey_ = key;
            typedShift_ = shift;
            edit_->setText(key ? keyText(key, shift) : Text(395));
            UpdateButtons();
        };
        connect(actions_, &QComboBox::currentIndexChanged, this, [this] { UpdateButtons(); });
        connect(list_, &QTreeWidget::currentItemChanged, this, [this] { RowSelected(); });
        connect(add_, &QPushButton::clicked, this, [this] {
            HotKeys->Add(typedKey_, typedShift_, ChosenAction(), global_->isChecked());
            ResetEditor();
        });
        connect(change_, &QPushButton::clicked, this, [this] {
            HotKeys->SetItem(selected_, typedKey_, typedShift_, ChosenAction(), global_->isChecked());
            Fill();
        });
        connect(delete_, &QPushButton::clicked, this, [this] {
            HotKeys->Delete(selected_);
            ResetEditor();
        });
        connect(reset_, &QPushButton::clicked, this, [this] {
            HotKeys->SetDefaults();
            ResetEditor();
        });
        Load();
    }

    void Load() override
    {
        const QSignalBlocker block(actions_);
        actions_->clear();
        for (const std::u16string& name : TKHotKeys::GetActionNames())
            actions_->addItem(QString::fromStdU16String(name));
        setEnabled(HotKeys != nullptr);
        ResetEditor();
    }

private:
    QPushButton* Button(QGroupBox* group, const char* name, int caption)
    {
        auto* button = new QPushButton(Text(caption), group);
        button->setObjectName(QString::fromLatin1(name));
        AddRow(group, {}, button);
        return button;
    }

    uint8_t ChosenAction() const
    {
        return static_cast<uint8_t>(TKHotKeys::ActionFromName(actions_->currentText().toStdU16String()));
    }

    // The rows of other records bound to the typed key.
    bool IsConflict(int row) const
    {
        const THotKeyEntry entry = HotKeys->GetItem(row);
        return row != selected_ && typedKey_ != 0 && entry.Key == typedKey_ && entry.Shift == typedShift_;
    }

    void ResetEditor()
    {
        selected_ = -1;
        typedKey_ = 0;
        typedShift_ = 0;
        {
            const QSignalBlocker block(actions_);
            actions_->setCurrentIndex(0);
        }
        edit_->setText(Text(395));
        global_->setChecked(false);
        Fill();
    }

    void Fill()
    {
        const QSignalBlocker block(list_);
        list_->clear();
        for (int i = 0; HotKeys && i < HotKeys->Count(); ++i) {
            const THotKeyEntry entry = HotKeys->GetItem(i);
            auto* row = new QTreeWidgetItem(list_);
            row->setText(0, QString::fromStdU16String(TKHotKeys::ActionName(entry.Action)));
            row->setText(1, keyText(entry.Key, entry.Shift));
            row->setText(2, entry.Global ? QStringLiteral("X") : QString());
        }
        if (selected_ >= 0 && selected_ < list_->topLevelItemCount())
            list_->setCurrentItem(list_->topLevelItem(selected_));
        UpdateButtons();
    }

    void RowSelected()
    {
        QTreeWidgetItem* row = list_->currentItem();
        selected_ = row ? list_->indexOfTopLevelItem(row) : -1;
        if (selected_ < 0) {
            ResetEditor();
            return;
        }
        const THotKeyEntry entry = HotKeys->GetItem(selected_);
        typedKey_ = entry.Key;
        typedShift_ = entry.Shift;
        const QSignalBlocker block(actions_);
        actions_->setCurrentIndex(std::max(0, actions_->findText(row->text(0))));
        edit_->setText(keyText(entry.Key, entry.Shift));
        global_->setChecked(entry.Global != 0);
        UpdateButtons();
    }

    // Add needs a typed key no record has and an action; Edit an action and
    // a key no other record has; the rows of those other records turn red.
    void UpdateButtons()
    {
        bool conflict = false;
        int bound = 0;
        for (int i = 0; i < list_->topLevelItemCount(); ++i) {
            const THotKeyEntry entry = HotKeys->GetItem(i);
            bound += entry.Key == typedKey_ && entry.Shift == typedShift_ ? 1 : 0;
            const bool red = IsConflict(i);
            conflict = conflict || red;
            for (int column = 0; column < 3; ++column)
                list_->topLevelItem(i)->setData(column, Qt::ForegroundRole,
                                                red ? QVariant(QBrush(QColor(255, 0, 0))) : QVariant());
        }
        const bool action = actions_->currentIndex() > 0;
        add_->setEnabled(HotKeys && typedKey_ > 0 && action && bound == 0);
        change_->setEnabled(selected_ >= 0 && typedKey_ > 0 && action && !conflict);
        delete_->setEnabled(selected_ >= 0);
    }

    QTreeWidget* list_;
    QComboBox* actions_;
    THotKeyEdit* edit_;
    QCheckBox* global_;
    QPushButton* add_;
    QPushButton* change_;
    QPushButton* delete_;
    QPushButton* reset_;
    int selected_ = -1;
    uint16_t typedKey_ = 0;
    uint8_t typedShift_ = 0;
};

} // namespace

TConfigPageWidget* CreateHotKeysConfigPage(TConfigPageWidget::MarkFunction mark)
{
    return new THotKeysPage(std::move(mark));
}

} // namespace kolvarin
