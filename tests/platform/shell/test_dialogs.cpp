#include "shell/dialogs.h"
#include "shell/dontaskagaindialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QTimer>

#include <filesystem>

#include <gtest/gtest.h>

#include "temphome.h"

using namespace kolvarin::shell;

namespace {

// Runs the action on the modal dialog once it is shown.
template <typename Dialog, typename Action>
void whenShown(Action action)
{
    QTimer::singleShot(0, [action] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        action(dialog);
    });
}

} // namespace

TEST(DontAskAgainDialog, ShowsTheTextsAndReportsTheChoice)
{
    DontAskAgainDialog dialog(nullptr, u"Graph", u"Choose a script", {u"default", u"ffdshow", u"haali"});
    EXPECT_EQ(dialog.windowTitle(), "Graph");
    EXPECT_EQ(dialog.label()->text(), "Choose a script");
    EXPECT_EQ(dialog.checkBox()->text(), "Dont ask again for this extension");
    EXPECT_EQ(dialog.chosen(), u"default");
    EXPECT_FALSE(dialog.dontAskAgain());
    dialog.list()->setCurrentRow(2);
    dialog.checkBox()->setChecked(true);
    EXPECT_EQ(dialog.chosen(), u"haali");
    EXPECT_TRUE(dialog.dontAskAgain());

    DontAskAgainDialog empty(nullptr, u"", u"", {});
    EXPECT_EQ(empty.chosen(), u"");
}

TEST(ShellDialogs, ListChoiceRunsModallyAndReportsOkOrCancel)
{
    whenShown<QDialog>([](QDialog* d) {
        auto* dialog = static_cast<DontAskAgainDialog*>(d);
        dialog->list()->setCurrentRow(1);
        dialog->checkBox()->setChecked(true);
        dialog->accept();
    });
    ListChoice choice = Dialogs().current().chooseFromList(nullptr, u"Graph", u"Pick", {u"a", u"b"});
    EXPECT_TRUE(choice.accepted);
    EXPECT_EQ(choice.chosen, u"b");
    EXPECT_TRUE(choice.dontAskAgain);

    whenShown<QDialog>([](QDialog* dialog) { dialog->reject(); });
    choice = Dialogs().current().chooseFromList(nullptr, u"Graph", u"Pick", {u"a", u"b"});
    EXPECT_FALSE(choice.accepted);
    EXPECT_EQ(choice.chosen, u"");
}

TEST(ShellDialogs, FolderDialogOpensAtTheStartFolder)
{
    ktest::TempDir dir;
    std::filesystem::create_directories(dir.path() / "start" / "inner");
    const QString start = QString::fromStdString((dir.path() / "start").string());
    whenShown<QFileDialog>([start](QFileDialog* dialog) {
        EXPECT_EQ(QDir(dialog->directory()).absolutePath(), start);
        dialog->selectFile(start + "/inner");
        static_cast<QDialog*>(dialog)->accept(); // public through the base class
    });
    auto chosen = Dialogs().current().browseForFolder(nullptr, u"Folder", start.toStdU16String());
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, (start + "/inner").toStdU16String());

    whenShown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_FALSE(Dialogs().current().browseForFolder(nullptr, u"Folder", start.toStdU16String()).has_value());
}
