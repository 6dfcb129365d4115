// The playlist dialogs: search, add URL, add disc and the entry editor with
// its tags.
#include <fstream>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kerrors.h"
#include "forms/adddiscform.h"
#include "forms/addurlform.h"
#include "forms/edititemform.h"
#include "forms/searchform.h"
#include "playback/kid3v1.h"
#include "playback/kid3v2.h"
#include "playback/ksystem.h"

using namespace kolvarin;

namespace {

struct RecordedError : TErrorDialog {
    std::vector<std::u16string> texts;
    void Show(const std::u16string&, const std::u16string& text, Icon) override { texts.push_back(text); }
};

class PlaylistDialogs : public ::testing::Test {
protected:
    PlaylistDialogs()
    {
        config_.SetDefaults();
        config_.AcceptAllFiles = true;
        Config = &config_;
        Playlist = &list_;
        PlaylistItemIndex = PlaylistAnchorFirst = PlaylistAnchorSecond = -1;
        SetErrorDialog(&errors_);
    }
    ~PlaylistDialogs() override
    {
        SetErrorDialog(nullptr);
        PlaySystem = nullptr;
        Playlist = nullptr;
        Config = nullptr;
    }

    TKConfig config_;
    TKPlaylist list_;
    TKSystem system_;
    RecordedError errors_;
};

TEST_F(PlaylistDialogs, SearchFindsEveryKeywordInAnyCaseAndScriptEachCaptionOnce)
{
    PlaySystem = &system_;
    PlaylistAdd(u"Live at Wembley 2004", u"/m/a.mp3", "00:00:00", false, "00");
    PlaylistAdd(u"Live at Wembley 2004", u"/m/b.mp3", "00:00:00", false, "00");
    PlaylistAdd(u"LIVE in 1999", u"/m/c.avi", "00:00:00", false, "00");
    PlaylistAdd(u"Μουσική της ΝΎΧΤΑΣ", u"/m/d.ogg", "00:00:00", false, "00");
    PlaylistAdd(u"Ünïcödé 2004 live", u"/m/e.avi", "00:00:00", false, "00");
    const struct {
        std::u16string keywords;
        TSearchFilter filter;
        std::vector<std::u16string> found;
    } cases[] = {
        {u"live 2004", TSearchFilter::All, {u"Live at Wembley 2004", u"Ünïcödé 2004 live"}},
        {u"  LIVE   2004 ", TSearchFilter::Audio, {u"Live at Wembley 2004"}},
        {u"live", TSearchFilter::Video, {u"LIVE in 1999", u"Ünïcödé 2004 live"}},
        {u"νύχτας μουσ", TSearchFilter::All, {u"Μουσική της ΝΎΧΤΑΣ"}},
        {u"ÜNÏ", TSearchFilter::All, {u"Ünïcödé 2004 live"}},
        {u"",
         TSearchFilter::All,
         {u"Live at Wembley 2004", u"LIVE in 1999", u"Μουσική της ΝΎΧΤΑΣ", u"Ünïcödé 2004 live"}},
        {u"wembley 1999", TSearchFilter::All, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SearchPlaylist(c.keywords, c.filter), c.found) << QString::fromStdU16String(c.keywords).toStdString();
}

TEST_F(PlaylistDialogs, SearchWindowSelectsTheFirstEntryOfTheChosenCaption)
{
    PlaylistAdd(u"Other", u"/m/o.mp3", "00:00:00", false, "00");
    PlaylistAdd(u"Same", u"/m/a.mp3", "00:00:00", true, "00");
    PlaylistAdd(u"Same", u"/m/b.mp3", "00:00:00", false, "00");
    TfrmSearch search;
    search.show();
    EXPECT_EQ(search.lbResults->count(), 2);
    EXPECT_FALSE(search.btnSelect->isEnabled());
    QTest::keyClicks(search.edtKeyword, QStringLiteral("SAME"));
    ASSERT_EQ(search.lbResults->count(), 1);
    QTest::keyClick(search.edtKeyword, Qt::Key_Return);
    EXPECT_EQ(PlaylistItemIndex, 1);
    EXPECT_TRUE(PlaylistGetItem(1)->Selected);
    EXPECT_FALSE(PlaylistGetItem(2)->Selected);
    QTest::keyClick(search.edtKeyword, Qt::Key_Escape);
    EXPECT_FALSE(search.isVisible());
}

TEST_F(PlaylistDialogs, AddURLAcceptsHttpHttpsAndMmsInAnyCaseAndRefusesTheRest)
{
    TfrmAddURL dialog;
    dialog.show();
    EXPECT_EQ(dialog.Edit1->text(), QStringLiteral("http://"));
    const struct {
        const char16_t* url;
        bool accepted;
    } cases[] = {{u"HTTP://Radio.example/live", true}, {u"mms://v.example/a", true},
                 {u"ftp://x.example/a", false},        {u"radio.example", false},
                 {u"https://x.example/a", true},       {u"", false}};
    for (const auto& c : cases) {
        dialog.show();
        dialog.Edit1->setText(QString::fromStdU16String(c.url));
        const int before = PlaylistCount();
        errors_.texts.clear();
        QTest::mouseClick(dialog.Button1, Qt::LeftButton);
        EXPECT_EQ(PlaylistCount(), before + (c.accepted ? 1 : 0));
        EXPECT_EQ(dialog.isVisible(), !c.accepted);
        EXPECT_EQ(errors_.texts.size(), c.accepted ? 0u : 1u);
        if (c.accepted) {
            const TKPlaylistEntry& e = *PlaylistGetItem(PlaylistLastIndex());
            EXPECT_EQ(e.Caption, c.url);
            EXPECT_EQ(e.FileName, c.url);
            EXPECT_EQ(e.Time, "00:00:00");
            EXPECT_EQ(e.Track, "00");
        } else {
            EXPECT_NE(errors_.texts[0].find(u"3000"), std::u16string::npos);
        }
    }
}

TEST_F(PlaylistDialogs, DiscDrivesKeepTheirLabelsWholeAndTheLastLabelledIsChosen)
{
    EXPECT_EQ(DiscItemText({u"/dev/sr1", u"/media/MY ] DISC [", u"MY ] DISC ["}), u"/dev/sr1 [ MY ] DISC [ ]");
    EXPECT_EQ(DiscItemText({u"/dev/sr0", u"", u""}), u"/dev/sr0 [ No medium found. ]");
    TfrmAddDVDVCD dialog;
    dialog.SetDrives(
        {{u"/dev/sr0", u"", u""}, {u"/dev/sr1", u"/m/A", u"A"}, {u"/dev/sr2", u"/m/B", u"B"}, {u"/dev/sr3", u"", u""}});
    EXPECT_EQ(dialog.cbDrives->currentIndex(), 2);
    dialog.SetDrives({{u"/dev/sr0", u"", u""}, {u"/dev/sr1", u"", u""}});
    EXPECT_EQ(dialog.cbDrives->currentIndex(), 0);
}

TEST_F(PlaylistDialogs, VideoDiscsAreKnownByTheirFolders)
{
    QTemporaryDir disc;
    const std::u16string root = disc.path().toStdU16String();
    const struct {
        const char* folder;
        const char* file;
        std::u16string caption;
        std::u16string fileName;
    } cases[] = {
        {"MPEG2", nullptr, u"[ SVCD: MYDISC ]", root + u"/MPEG2/AVSEQ01.MPG"},
        {"MPEGAV", nullptr, u"[ VCD: MYDISC ]", root + u"/MPEGAV/AVSEQ01.DAT"},
        {"VIDEO_TS", "VIDEO_TS/VIDEO_TS.IFO", u"[ DVD: MYDISC ]", root + u"/VIDEO_TS/VIDEO_TS.IFO"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(QDir(disc.path()).mkpath(QString::fromLatin1(c.folder)));
        if (c.file)
            std::ofstream(disc.filePath(QString::fromLatin1(c.file)).toStdString()) << "x";
        const std::vector<TDiscEntry> entries = DiscEntries({u"/dev/sr0", root, u"MYDISC"}, 0);
        ASSERT_EQ(entries.size(), 1u) << c.folder;
        EXPECT_EQ(entries[0].Caption, c.caption);
        EXPECT_EQ(entries[0].FileName, c.fileName);
        EXPECT_EQ(entries[0].Time, "00:00:00");
        EXPECT_EQ(entries[0].Track, "00");
    }
}

class EditItem : public PlaylistDialogs {
protected:
    EditItem()
    {
        file_ = dir_.filePath(QStringLiteral("Песня.mp3")).toStdU16String();
        std::ofstream(dir_.filePath(QStringLiteral("Песня.mp3")).toStdString(), std::ios::binary)
            << std::string(4096, '\0');
        PlaylistAdd(u"Song", file_, "00:03:00", false, "01");
        form_.ShowMessage = [this](const std::u16string& text) { messages_.push_back(text); };
    }

    QTemporaryDir dir_;
    std::u16string file_;
    TfrmEditItem form_;
    std::vector<std::u16string> messages_;
};

TEST_F(EditItem, AnMp3ShowsItsTagPagesAndSavesBothTags)
{
    ASSERT_TRUE(form_.LoadEntry(0));
    EXPECT_TRUE(form_.PageControl1->isTabVisible(1));
    EXPECT_TRUE(form_.PageControl1->isTabVisible(2));
    EXPECT_EQ(form_.edtPECaption->text(), QStringLiteral("Song"));
    form_.cbID3V1_Exists->setChecked(true);
    form_.edtID3V1_Track->setText(QStringLiteral("12"));
    form_.edtID3V1_Title->setText(QStringLiteral("Café"));
    form_.cbID3V1_Genre->setCurrentIndex(17);
    form_.ConvertID3v1ToID3v2();
    form_.cbID3V2_Exists->setChecked(true);
    form_.edtID3V2_Title->setText(QStringLiteral("Ночная песня"));
    form_.edtPECaption->setText(QStringLiteral("Ночь"));
    ASSERT_TRUE(form_.SaveClick());
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(PlaylistGetItem(0)->Caption, u"Ночь");
    TID3v1 v1;
    ASSERT_TRUE(v1.ReadFromFile(file_));
    EXPECT_EQ(v1.Track(), 12);
    EXPECT_EQ(v1.Title(), "Caf\xE9");
    EXPECT_EQ(v1.GenreID(), 17);
    TID3v2 v2;
    ASSERT_TRUE(v2.ReadFromFile(file_));
    EXPECT_EQ(v2.Title(), u"Ночная песня");
    EXPECT_EQ(v2.Track(), 12);
    EXPECT_EQ(v2.Genre(), QString::fromLatin1(ID3v1Genres[17]).toStdU16String());
    // Read back into the fields after the write.
    EXPECT_EQ(form_.edtID3V2_Title->text(), QStringLiteral("Ночная песня"));
}

TEST_F(EditItem, ATrackTheTagCannotHoldIsRefusedAndNothingIsStored)
{
    ASSERT_TRUE(form_.LoadEntry(0));
    form_.cbID3V1_Exists->setChecked(true);
    form_.edtID3V1_Track->setText(QStringLiteral("300"));
    form_.edtPECaption->setText(QStringLiteral("Changed"));
    EXPECT_FALSE(form_.SaveClick());
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(PlaylistGetItem(0)->Caption, u"Song");
    TID3v1 v1;
    ASSERT_TRUE(v1.ReadFromFile(file_));
    EXPECT_FALSE(v1.Exists());
    EXPECT_EQ(TrackFieldValue(u"255", 255), 255);
    EXPECT_EQ(TrackFieldValue(u"256", 255), -1);
    EXPECT_EQ(TrackFieldValue(u"99999999999999999999", 255), -1);
    EXPECT_EQ(TrackFieldValue(u"3/12", 255), 0);
    EXPECT_EQ(TrackFieldValue(u"", 255), 0);
}

TEST_F(EditItem, EmptyFieldsBlockSave)
{
    ASSERT_TRUE(form_.LoadEntry(0));
    form_.edtPECaption->clear();
    EXPECT_FALSE(form_.SaveClick());
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], u"Caption, Time or Track can\u00B4t have a empty string !");
    EXPECT_EQ(PlaylistGetItem(0)->Caption, u"Song");
}

TEST_F(EditItem, AVanishedFileOpensWithAMessageAndItsEntryIsStillSaved)
{
    PlaylistAdd(u"Gone", dir_.filePath(QStringLiteral("gone.mp3")).toStdU16String(), "00:01:00", false, "00");
    ASSERT_TRUE(form_.LoadEntry(1));
    EXPECT_EQ(form_.memFileInfo->toPlainText(), QStringLiteral("Not supported mediafile or codec not found.\n"));
    form_.cbID3V2_Exists->setChecked(true);
    form_.edtPECaption->setText(QStringLiteral("Still here"));
    EXPECT_TRUE(form_.SaveClick());
    EXPECT_FALSE(errors_.texts.empty()); // the tag could not be written
    EXPECT_EQ(PlaylistGetItem(1)->Caption, u"Still here");
    EXPECT_EQ(PlaylistCount(), 2);
    EXPECT_FALSE(form_.LoadEntry(5));
    EXPECT_EQ(form_.EditIndex(), 1);
}

} // namespace

namespace {

TEST_F(EditItem, ConvertingToID3v1ChoosesTheGenreByNameOrTheFirst)
{
    ASSERT_TRUE(form_.LoadEntry(0));
    form_.edtID3V2_Title->setText(QStringLiteral("A title"));
    form_.edtID3V2_Genre->setText(QString::fromLatin1(ID3v1Genres[9]));
    form_.ConvertID3v2ToID3v1();
    EXPECT_EQ(form_.edtID3V1_Title->text(), QStringLiteral("A title"));
    EXPECT_EQ(form_.cbID3V1_Genre->currentIndex(), 9);
    form_.edtID3V2_Genre->setText(QStringLiteral("Not a genre"));
    form_.ConvertID3v2ToID3v1();
    EXPECT_EQ(form_.cbID3V1_Genre->currentIndex(), 0);
}

} // namespace
