#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "configfixture.h"
#include "core/settings/khotkeys.h"

using namespace kolvarin;

namespace {

class HotKeyEditorTest : public ktest::ConfigPageTest {
protected:
    void SetUp() override
    {
        ConfigPageTest::SetUp();
        HotKeys = &table_;
        open();
        form_->ShowPage(TConfigPage::Shortcuts);
        list_ = form_->findChild<QTreeWidget*>(QStringLiteral("lvHotkeys"));
        edit_ = form_->findChild<QLineEdit*>(QStringLiteral("editHotkey"));
        actions_ = form_->findChild<QComboBox*>(QStringLiteral("cbHotkeyPrograms"));
    }
    void TearDown() override
    {
        ConfigPageTest::TearDown();
        HotKeys = nullptr;
    }
    QPushButton* button(const char* name) const { return form_->findChild<QPushButton*>(QString::fromLatin1(name)); }
    void action(int number) { actions_->setCurrentText(QString::fromStdU16String(TKHotKeys::ActionName(number))); }
    // The part of a row that the list's picture shows.
    QRect Shown(int row, const QImage& shown) const
    {
        return list_->visualItemRect(list_->topLevelItem(row)).intersected(shown.rect());
    }

    TKHotKeys table_;
    QTreeWidget* list_ = nullptr;
    QLineEdit* edit_ = nullptr;
    QComboBox* actions_ = nullptr;
};

TEST_F(HotKeyEditorTest, ShowsTheTableAndAddsATypedKey)
{
    ASSERT_EQ(list_->topLevelItemCount(), table_.Count());
    EXPECT_EQ(edit_->text(), QStringLiteral("No key pressed"));
    EXPECT_FALSE(button("btnAddHotkey")->isEnabled());

    QTest::keyClick(edit_, Qt::Key_Control, Qt::ControlModifier); // a modifier alone is no key
    EXPECT_EQ(edit_->text(), QStringLiteral("No key pressed"));
    QTest::keyClick(edit_, Qt::Key_J, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(edit_->text(), QString::fromStdString(ShiftStateText(hkCtrl | hkAlt) + KeyName('J')));
    EXPECT_FALSE(button("btnAddHotkey")->isEnabled()); // no action chosen yet
    action(5);
    ASSERT_TRUE(button("btnAddHotkey")->isEnabled());
    const int before = table_.Count();
    button("btnAddHotkey")->click();
    ASSERT_EQ(table_.Count(), before + 1);
    const THotKeyEntry added = table_.GetItem(before);
    EXPECT_EQ(added.Key, 'J');
    EXPECT_EQ(added.Shift, hkCtrl | hkAlt);
    EXPECT_EQ(added.Action, 5);
    EXPECT_EQ(list_->topLevelItemCount(), before + 1);
    EXPECT_FALSE(form_->btnApply()->isEnabled()); // the table changed at once, nothing waits for Apply
}

TEST_F(HotKeyEditorTest, AKeyInUseIsShownAndCannotBeAddedAgain)
{
    const THotKeyEntry taken = table_.GetItem(0);
    action(7);
    QTest::keyClick(edit_, Qt::Key_J);
    ASSERT_TRUE(button("btnAddHotkey")->isEnabled());
    table_.SetItem(0, 'J', 0, taken.Action, taken.Global);
    form_->ShowPage(TConfigPage::General);
    form_->hide();
    form_->show();
    form_->ShowPage(TConfigPage::Shortcuts);
    action(7);
    QTest::keyClick(edit_, Qt::Key_J);
    EXPECT_FALSE(button("btnAddHotkey")->isEnabled());
    // The other row bound to the key is drawn in red, the rest in black on white.
    list_->setCurrentItem(nullptr);
    const QImage shown = list_->viewport()->grab().toImage();
    // Whether a row has text of that colour (the letters' cores, smoothed edges aside).
    auto inks = [&](int row, QColor ink) {
        const QRect rect = Shown(row, shown);
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x) {
                const QColor c = shown.pixelColor(x, y);
                if (std::abs(c.red() - ink.red()) < 60 && std::abs(c.green() - ink.green()) < 60 &&
                    std::abs(c.blue() - ink.blue()) < 60)
                    return true;
            }
        return false;
    };
    EXPECT_TRUE(inks(0, QColor(255, 0, 0)));
    EXPECT_FALSE(inks(1, QColor(255, 0, 0)));
    EXPECT_TRUE(inks(1, Qt::black));
    EXPECT_EQ(shown.pixelColor(Shown(1, shown).bottomRight()), QColor(Qt::white));
}

TEST_F(HotKeyEditorTest, TheChosenRowIsNavyAndChoosingTheNodeStartsTheEditorAfresh)
{
    list_->setCurrentItem(list_->topLevelItem(1));
    const QImage shown = list_->viewport()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(Shown(1, shown).bottomRight()), QColor(0, 0, 128));
    EXPECT_TRUE(button("btnDelHotkey")->isEnabled());
    form_->ShowPage(TConfigPage::General);
    form_->ShowPage(TConfigPage::Shortcuts);
    EXPECT_EQ(list_->currentItem(), nullptr);
    EXPECT_EQ(edit_->text(), QStringLiteral("No key pressed"));
    EXPECT_EQ(actions_->currentIndex(), 0);
    EXPECT_FALSE(button("btnDelHotkey")->isEnabled());
    EXPECT_FALSE(button("btnEditHotkey")->isEnabled());
}

TEST_F(HotKeyEditorTest, EditsDeletesAndResets)
{
    list_->setCurrentItem(list_->topLevelItem(2));
    EXPECT_EQ(actions_->currentText(), QString::fromStdU16String(TKHotKeys::ActionName(table_.GetItem(2).Action)));
    EXPECT_FALSE(button("btnAddHotkey")->isEnabled()) << "its own key is bound";
    QTest::keyClick(edit_, Qt::Key_F9, Qt::ShiftModifier);
    action(9);
    EXPECT_TRUE(button("btnAddHotkey")->isEnabled()) << "a key no record has, with a row chosen too";
    ASSERT_TRUE(button("btnEditHotkey")->isEnabled());
    button("btnEditHotkey")->click();
    EXPECT_EQ(table_.GetItem(2).Key, 0x78); // F9
    EXPECT_EQ(table_.GetItem(2).Shift, hkShift);
    EXPECT_EQ(table_.GetItem(2).Action, 9);

    const int count = table_.Count();
    list_->setCurrentItem(list_->topLevelItem(0));
    button("btnDelHotkey")->click();
    EXPECT_EQ(table_.Count(), count - 1);

    button("btnDefaultHotkey")->click();
    EXPECT_EQ(table_.Items().size(), TKHotKeys().Items().size());
    EXPECT_EQ(list_->topLevelItemCount(), table_.Count());
}

} // namespace
