// The playlist window: rows, the row under the mouse, selection, keys and
// moving entries by dragging.
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/system/kglobals.h"
#include "forms/appstates.h"
#include "forms/edititemform.h"
#include "playlistfixture.h"

using namespace kolvarin;

namespace {

using PlaylistForm = ktest::PlaylistFormTest;

std::vector<std::u16string> Captions()
{
    std::vector<std::u16string> captions;
    for (int i = 0; i < PlaylistCount(); ++i)
        captions.push_back(PlaylistGetItem(i)->Caption);
    return captions;
}

std::vector<int> Selected()
{
    std::vector<int> indexes;
    for (int i = 0; i < PlaylistCount(); ++i)
        if (PlaylistGetItem(i)->Selected)
            indexes.push_back(i);
    return indexes;
}

// The contrast ratio of two colours (WCAG's relative luminance).
double Contrast(gdi::Color a, gdi::Color b)
{
    const auto luminance = [](gdi::Color c) {
        const auto linear = [](std::uint8_t v) {
            const double s = v / 255.0;
            return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(gdi::GetRValue(c)) + 0.7152 * linear(gdi::GetGValue(c)) +
               0.0722 * linear(gdi::GetBValue(c));
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(PlaylistRows, NumbersAreRightAlignedInAColumnOfTheCountsDigits)
{
    EXPECT_EQ(PlaylistNumberText(0, 9), u"1.)  ");
    EXPECT_EQ(PlaylistNumberText(0, 10), u"_1.)  ");
    EXPECT_EQ(PlaylistNumberText(9, 10), u"10.)  ");
    EXPECT_EQ(PlaylistNumberText(41, 100000), u"____42.)  ");
    EXPECT_EQ(DecimalDigits(0), 1);
    EXPECT_EQ(DecimalDigits(99999), 5);
}

TEST(PlaylistRows, CaptionsAreCutWithDotsToTheLongestPrefixThatFits)
{
    const auto width = [](const std::u16string& t) { return static_cast<int>(t.size()); }; // one unit a letter
    EXPECT_EQ(FitCaption(u"abcdef", 9, width), u"abcdef"); // fits with the dots: drawn whole
    EXPECT_EQ(FitCaption(u"abcdef", 8, width), u"abcde...");
    EXPECT_EQ(FitCaption(u"abcdef", 3, width), u"...");
    EXPECT_EQ(FitCaption(u"abcdef", 0, width), u"..."); // the cutting stops at the empty text
}

TEST(PlaylistRows, FileTypeIcons)
{
    const std::pair<TSystemType, int> cases[] = {
        {TSystemType::None, -1},         {TSystemType::BassFile, 0},   {TSystemType::DirectXAudio, 0},
        {TSystemType::CDTrack, 1},       {TSystemType::BassStream, 2}, {TSystemType::DirectXVideo, 3},
        {TSystemType::DirectXStream, 4}, {TSystemType::DVD, 5},
    };
    for (const auto& [type, icon] : cases)
        EXPECT_EQ(FileTypeIconIndex(type), icon) << static_cast<int>(type);
}

TEST_F(PlaylistForm, NothingIsUnderTheMouseBeforeTheFirstPaint)
{
    Fill(5);
    EXPECT_EQ(form_->IndexAtY(0), -1);
    QTest::mouseClick(form_->imgPlaylist, Qt::LeftButton, {}, QPoint(5, 3));
    EXPECT_EQ(PlaylistItemIndex, -1);
    EXPECT_TRUE(Selected().empty());
}

TEST_F(PlaylistForm, TheLastPageIsAlwaysFullAndAClickMapsToTheRowDrawnThere)
{
    Fill(25);
    Layout(10, 20);
    EXPECT_EQ(form_->VisibleLines(), 10);
    EXPECT_EQ(Scroll().Max, 15);
    EXPECT_EQ(form_->FirstVisibleIndex(), 15);
    EXPECT_EQ(form_->EndVisibleIndex(), 25);
    EXPECT_TRUE(Scroll().Shown);
    EXPECT_EQ(form_->IndexAtY(RowY(0)), 15);
    EXPECT_EQ(form_->IndexAtY(RowY(9)), 24);
    // The half row below the last full row shows nothing: no wrap to row 0.
    EXPECT_EQ(form_->IndexAtY(RowY(10)), -1);
    QTest::mouseClick(form_->imgPlaylist, Qt::LeftButton, {}, QPoint(5, RowY(10)));
    EXPECT_EQ(PlaylistItemIndex, -1);
    QTest::mouseClick(form_->imgPlaylist, Qt::LeftButton, {}, QPoint(5, RowY(3)));
    EXPECT_EQ(PlaylistItemIndex, 18);
    EXPECT_EQ(Selected(), std::vector<int>{18});
}

TEST_F(PlaylistForm, AShortListStartsAtTheFirstEntryWhateverWasScrolledBefore)
{
    Fill(25);
    Layout(10, 12);
    PlaylistClear();
    Fill(4);
    form_->imgPlaylist->Paint();
    EXPECT_EQ(Scroll().Position, 0);
    EXPECT_EQ(Scroll().Max, 0); // never negative
    EXPECT_FALSE(Scroll().Shown);
    EXPECT_FALSE(form_->imgScrollBar->isVisible());
    EXPECT_EQ(form_->IndexAtY(RowY(0)), 0);
    EXPECT_EQ(form_->IndexAtY(RowY(3)), 3);
    EXPECT_EQ(form_->IndexAtY(RowY(4)), -1);
    QTest::mouseClick(form_->imgPlaylist, Qt::LeftButton, {}, QPoint(5, RowY(1)));
    ASSERT_EQ(Selected(), std::vector<int>{1});
    // Below the last entry: everything deselected, no focus.
    QTest::mouseClick(form_->imgPlaylist, Qt::LeftButton, {}, QPoint(5, RowY(6)));
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(PlaylistItemIndex, -1);
    EXPECT_EQ(form_->ClickedIndex(), -1);
}

// What marks the selection stands out from the rows around it by the 3:1
// that user-interface states need.
TEST_F(PlaylistForm, TheBuiltInSkinsSelectedRowStandsOut)
{
    Fill(3);
    PlaylistGetItem(1)->Selected = true;
    Layout(3);
    const gdi::Bitmap& list = form_->imgPlaylist->Surface();
    // The top edge of a row, halfway across, where no text reaches.
    const auto edge = [&](int row) { return list.pixel(list.width() / 2, row * form_->LineHeight()); };
    EXPECT_GE(Contrast(edge(1), edge(0)), 3.0);
    EXPECT_GE(Contrast(edge(1), edge(2)), 3.0);
}

TEST_F(PlaylistForm, ShiftSelectsTheRangeAndCtrlTogglesOneEntry)
{
    Fill(8);
    Layout(10);
    QTest::mouseClick(form_->imgPlaylist, Qt::LeftButton, {}, QPoint(5, RowY(2)));
    QTest::mouseClick(form_->imgPlaylist, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, RowY(5)));
    EXPECT_EQ(Selected(), (std::vector<int>{2, 3, 4, 5}));
    QTest::mouseClick(form_->imgPlaylist, Qt::LeftButton, Qt::ControlModifier, QPoint(5, RowY(7)));
    QTest::mouseClick(form_->imgPlaylist, Qt::LeftButton, Qt::ControlModifier, QPoint(5, RowY(3)));
    EXPECT_EQ(Selected(), (std::vector<int>{2, 4, 5, 7}));
}

TEST_F(PlaylistForm, DirectMoveCarriesTheSelectionAndTheReleaseKeepsTheEntryUnderTheMouse)
{
    config_.PLEnableDirectMove = true;
    Fill(8);
    Layout(10);
    TKControl& list = *form_->imgPlaylist;
    list.MouseDown(TMouseButton::mbLeft, 0, 5, RowY(3));
    list.MouseUp(TMouseButton::mbLeft, 0, 5, RowY(3));
    list.MouseDown(TMouseButton::mbLeft, ssCtrl | ssLeft, 5, RowY(5));
    list.MouseMove(ssLeft, 5, RowY(6));
    EXPECT_EQ(Selected(), (std::vector<int>{4, 6}));
    EXPECT_EQ(PlaylistGetItem(4)->Caption, u"Entry 3");
    EXPECT_EQ(PlaylistGetItem(6)->Caption, u"Entry 5");
    list.MouseUp(TMouseButton::mbLeft, 0, 5, RowY(6));
    EXPECT_EQ(Selected(), std::vector<int>{6});
    EXPECT_FALSE(form_->Dragging());
}

TEST_F(PlaylistForm, IndirectMoveHappensAtTheReleaseOnlyWithNoKeyHeld)
{
    config_.PLEnableDirectMove = false;
    Fill(6);
    Layout(10);
    TKControl& list = *form_->imgPlaylist;
    list.MouseDown(TMouseButton::mbLeft, ssLeft, 5, RowY(1));
    list.MouseMove(ssLeft, 5, RowY(4));
    EXPECT_EQ(PlaylistGetItem(1)->Caption, u"Entry 1"); // nothing moves before the release
    list.MouseUp(TMouseButton::mbLeft, ssCtrl, 5, RowY(4));
    EXPECT_EQ(PlaylistGetItem(1)->Caption, u"Entry 1");
    EXPECT_EQ(Selected(), std::vector<int>{1});
    list.MouseDown(TMouseButton::mbLeft, ssLeft, 5, RowY(1));
    list.MouseMove(ssLeft, 5, RowY(4));
    list.MouseUp(TMouseButton::mbLeft, 0, 5, RowY(4));
    EXPECT_EQ(Captions()[4], u"Entry 1");
    EXPECT_EQ(Captions()[1], u"Entry 2");
    EXPECT_EQ(Selected(), std::vector<int>{4});
}

TEST_F(PlaylistForm, TheSelectedBlockStaysInsideTheVisibleRows)
{
    config_.PLEnableDirectMove = true;
    Fill(30);
    Layout(10, 10);
    TKControl& list = *form_->imgPlaylist;
    list.MouseDown(TMouseButton::mbLeft, ssLeft, 5, RowY(1)); // entry 11
    list.MouseDown(TMouseButton::mbLeft, ssCtrl | ssLeft, 5, RowY(3)); // entry 13
    list.MouseMove(ssLeft, 5, -200);
    EXPECT_EQ(Selected(), (std::vector<int>{10, 12}));
    list.MouseMove(ssLeft, 5, 2000);
    EXPECT_EQ(Selected(), (std::vector<int>{17, 19}));
    list.MouseUp(TMouseButton::mbLeft, ssCtrl, 5, 2000);
}

TEST_F(PlaylistForm, KeysMoveTheFocusAndPageTheList)
{
    Fill(25);
    Layout(10);
    QTest::keyClick(form_.get(), Qt::Key_Up); // nothing focused: nothing happens
    EXPECT_EQ(PlaylistItemIndex, -1);
    QTest::keyClick(form_.get(), Qt::Key_Down);
    EXPECT_EQ(PlaylistItemIndex, 0);
    QTest::keyClick(form_.get(), Qt::Key_Up); // at index 0: nothing
    EXPECT_EQ(PlaylistItemIndex, 0);
    for (int i = 0; i < 10; ++i)
        QTest::keyClick(form_.get(), Qt::Key_Down);
    EXPECT_EQ(PlaylistItemIndex, 10);
    EXPECT_EQ(Scroll().Position, 1); // the focused entry scrolled into view
    QTest::keyClick(form_.get(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(form_.get(), Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (std::vector<int>{10, 11, 12}));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(form_.get(), Qt::Key_PageDown);
    EXPECT_EQ(Scroll().Position, 15); // clamped to MaxTop
    QTest::keyClick(form_.get(), Qt::Key_Home);
    EXPECT_EQ(Scroll().Position, 0);
    QTest::keyClick(form_.get(), Qt::Key_End);
    EXPECT_EQ(Scroll().Position, 15);
    QTest::keyClick(form_.get(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Selected().size(), 25u);
    QTest::keyClick(form_.get(), Qt::Key_Delete);
    EXPECT_EQ(PlaylistCount(), 0);
}

TEST_F(PlaylistForm, TheWheelScrollsTenRowsClamped)
{
    Fill(25);
    Layout(10);
    form_->ScrollDown();
    EXPECT_EQ(Scroll().Position, 10);
    form_->ScrollDown();
    EXPECT_EQ(Scroll().Position, 15);
    form_->ScrollUp();
    EXPECT_EQ(Scroll().Position, 5);
    form_->ScrollUp();
    EXPECT_EQ(Scroll().Position, 0);
}

} // namespace

namespace {

// Drops the files on the window as a file manager would: one event.
void DropOn(QWidget& window, const std::vector<QString>& files)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& file : files)
        urls.push_back(QUrl::fromLocalFile(file));
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    EXPECT_TRUE(drop.isAccepted());
}

TEST_F(PlaylistForm, EachDropModeHandlesOneDropOnceAndPlaysNothing)
{
    config_.OFAReadTime = false;
    QTemporaryDir dir;
    const std::vector<QString> files = {dir.filePath(QStringLiteral("b.wav")), dir.filePath(QStringLiteral("A.wav")),
                                        dir.filePath(QStringLiteral("Ωmega.wav"))};
    for (const QString& file : files) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    Fill(2);
    const struct {
        int mode;
        std::vector<std::u16string> captions;
    } cases[] = {
        {0, {u"Entry 0", u"Entry 1"}},
        {1, {u"Entry 0", u"Entry 1", u"A", u"b", u"Ωmega"}},
        {2, {u"A", u"b", u"Ωmega"}},
    };
    for (const auto& c : cases) {
        config_.PLOnDragDropMode = static_cast<uint8_t>(c.mode);
        PlaylistClear();
        Fill(2);
        DropOn(*form_, files);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !form_->Adder.Busy(); }, 10000));
        EXPECT_EQ(Captions(), c.captions) << "mode " << c.mode;
        EXPECT_EQ(system_.SystemType(), TSystemType::None);
    }
}

} // namespace

namespace {

void Trigger(QMenu& menu, const char* name)
{
    QAction* action = menu.findChild<QAction*>(QString::fromLatin1(name));
    ASSERT_NE(action, nullptr) << name;
    action->trigger();
}

TEST_F(PlaylistForm, MenuCropKeepsTheSelectionAndRemovingFilesAsksFirst)
{
    Fill(5);
    Layout(10);
    PlaylistGetItem(1)->Selected = PlaylistGetItem(3)->Selected = true;
    Trigger(*form_->popmPlaylist, "CropItems1");
    EXPECT_EQ(Captions(), (std::vector<std::u16string>{u"Entry 1", u"Entry 3"}));

    std::vector<std::u16string> recycled;
    TKPlaylist::Hooks().RecycleFile = [&recycled](const std::u16string& name) {
        recycled.push_back(name);
        return true;
    };
    bool answer = false;
    form_->Confirm = [&answer](const std::u16string&) { return answer; };
    PlaylistDeselectAll();
    PlaylistGetItem(0)->Selected = true;
    Trigger(*form_->popmPlaylist, "Removefilesfromharddisk1");
    EXPECT_EQ(PlaylistCount(), 2);
    answer = true;
    Trigger(*form_->popmPlaylist, "Removefilesfromharddisk1");
    EXPECT_EQ(Captions(), std::vector<std::u16string>{u"Entry 3"});
    EXPECT_EQ(recycled, std::vector<std::u16string>{u"/m/entry1.mp3"});
    TKPlaylist::Hooks().RecycleFile = nullptr;

    Trigger(*form_->popmPlaylist, "Clearplaylist1");
    EXPECT_EQ(PlaylistCount(), 0);
    EXPECT_EQ(Scroll().Position, 0);
}

TEST_F(PlaylistForm, EditItemOpensTheEntryOnItsFirstPageAndReloadKeepsThePage)
{
    TfrmEditItem edit;
    Fill(3);
    Layout(10);
    QTest::mouseClick(form_->imgPlaylist, Qt::LeftButton, {}, QPoint(5, RowY(1)));
    edit.PageControl1->setCurrentWidget(edit.tsID3v1);
    Trigger(*form_->popmPlaylist, "Edititem1");
    EXPECT_EQ(edit.EditIndex(), 1);
    EXPECT_EQ(edit.PageControl1->currentIndex(), 0);
    edit.PageControl1->setCurrentWidget(edit.tsID3v2);
    edit.btnReload->click();
    EXPECT_EQ(edit.PageControl1->currentWidget(), edit.tsID3v2);
}

TEST_F(PlaylistForm, PlaylistFilesLoadByTheirExtensionInAnyCase)
{
    QTemporaryDir dir;
    const QString m3u = dir.filePath(QStringLiteral("Mix.M3U")), txt = dir.filePath(QStringLiteral("mix.txt"));
    for (const QString& name : {m3u, txt}) {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("http://radio.example/one\nhttp://radio.example/two\n");
    }
    Fill(1);
    EXPECT_FALSE(form_->LoadPlaylist(txt.toStdU16String()));
    EXPECT_EQ(PlaylistCount(), 1);
    EXPECT_TRUE(form_->LoadPlaylist(m3u.toStdU16String()));
    EXPECT_EQ(PlaylistCount(), 2); // the reader replaces the list
}

TEST_F(PlaylistForm, TheStresstestItemShowsWhileDebuggingAndTakesOnlyANumber)
{
    EXPECT_FALSE(form_->Stresstest1->isVisible());
    config_.DebugEnabled = true;
    SetApplicationState("PROGRAMMSTART");
    EXPECT_TRUE(form_->Stresstest1->isVisible());

    std::u16string answer;
    std::vector<std::u16string> messages;
    form_->AskText = [&answer](const std::u16string& caption, const std::u16string& prompt) {
        EXPECT_EQ(caption, u"Enter max stresstest count");
        EXPECT_EQ(prompt, u"Count:");
        return answer;
    };
    form_->ShowMessage = [&messages](const std::u16string& text) { messages.push_back(text); };
    Trigger(*form_->popmPlaylist, "Stresstest1"); // cancelled
    answer = u"many";
    Trigger(*form_->popmPlaylist, "Stresstest1");
    EXPECT_FALSE(form_->StressTest.Running());
    EXPECT_EQ(messages, std::vector<std::u16string>{u"'many' is not a valid integer value."});

    answer = u" 3 ";
    Trigger(*form_->popmPlaylist, "Stresstest1");
    EXPECT_TRUE(form_->StressTest.Running());
    EXPECT_EQ(form_->StressTest.Maximum(), 3);
    form_->StressTest.Stop();

    config_.DebugEnabled = false;
    SetApplicationState("PROGRAMMSTART");
    EXPECT_FALSE(form_->Stresstest1->isVisible());
}

TEST_F(PlaylistForm, ShowingAndHidingTheWindowSetsItsSettingOnlyWhileTheProgramRuns)
{
    ResetProcessFlags();
    config_.PlaylistVis = true;
    form_->hide();
    EXPECT_TRUE(config_.PlaylistVis) << "before the start-up has finished";
    AppInitialized = true;
    form_->show();
    form_->hide();
    EXPECT_FALSE(config_.PlaylistVis);
    form_->show();
    EXPECT_TRUE(config_.PlaylistVis);
    AppKilled = true;
    form_->hide();
    EXPECT_TRUE(config_.PlaylistVis) << "shutting down keeps what the user left";
    ResetProcessFlags();
}

} // namespace
