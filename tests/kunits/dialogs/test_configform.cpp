#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetricsF>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>

#include "core/settings/kconfig.h"
#include "core/system/kpaths.h"
#include "core/text/klanguage.h"
#include "dialogs/captionstrip.h"
#include "dialogs/configform.h"
#include "dialogs/confignumbers.h"
#include "gdi/canvas.h"
#include "playback/ksystem.h"
#include "temphome.h"

using namespace kolvarin;

namespace {

class ConfigDialogTest : public ktest::TempHomeTest {
protected:
    void SetUp() override
    {
        ktest::TempHomeTest::SetUp();
        UserPath = home().string() + "/";
        ApplicationPath = (dir().path() / "app").string() + "/";
        std::filesystem::create_directories(ApplicationPath + "data/languages");
        config_.SetDefaults();
        Config = &config_;
        AudioDevices = {"First output", "Second output"};
        SetDefaultLanguage(Language);
        form_ = std::make_unique<TfrmConfig>();
        form_->Hooks.ShowMessage = [this](const QString& text) { messages_ << text; };
        form_->show();
        for (int i = 0; i < kConfigPageCount; ++i)
            form_->Page(static_cast<TConfigPage>(i));
    }
    void TearDown() override
    {
        form_.reset();
        Config = nullptr;
        ktest::TempHomeTest::TearDown();
    }

    template <typename T = QWidget>
    T* control(const char* name) const
    {
        T* found = form_->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // The settings as config.xml would hold them, one attribute a line.
    std::set<std::string> stored()
    {
        const auto file = dir().path() / "config.xml";
        config_.SaveToFile(file.string());
        std::set<std::string> lines;
        std::istringstream in(ktest::readFile(file));
        for (std::string line; std::getline(in, line);) {
            std::istringstream words(line);
            std::string element, word;
            words >> element;
            while (words >> word)
                lines.insert(element + " " + word);
        }
        return lines;
    }

    // Sets a control as a user would: a text, an index or a position.
    void set(const char* name, const QString& value)
    {
        QWidget* widget = control(name);
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            // Cleared with Backspace, then the new text typed in.
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Backspace);
            edit->insert(value);
        } else if (auto* combo = qobject_cast<QComboBox*>(widget))
            combo->setCurrentIndex(value.toInt());
        else if (auto* slider = qobject_cast<QSlider*>(widget))
            slider->setValue(value.toInt());
        else if (auto* spin = qobject_cast<QSpinBox*>(widget))
            spin->setValue(value.toInt());
    }
    QString shown(const char* name) const
    {
        QWidget* widget = control(name);
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            return edit->text();
        if (auto* combo = qobject_cast<QComboBox*>(widget))
            return QString::number(combo->currentIndex());
        if (auto* slider = qobject_cast<QSlider*>(widget))
            return QString::number(slider->value());
        if (auto* spin = qobject_cast<QSpinBox*>(widget))
            return QString::number(spin->value());
        return {};
    }
    // The checked radio button of a group, by its index.
    int choice(const char* name) const
    {
        for (int i = 0; i < 8; ++i)
            if (auto* b = form_->findChild<QAbstractButton*>(QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(i)))
                if (b->isChecked())
                    return i;
        return -1;
    }
    void choose(const char* name, int index)
    {
        control<QAbstractButton>(QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index).toLatin1().constData())
            ->click();
    }

    TKConfig config_;
    std::unique_ptr<TfrmConfig> form_;
    QStringList messages_;
};

TEST_F(ConfigDialogTest, OpensOnGeneralWithApplyDisabled)
{
    EXPECT_EQ(form_->CurrentPage(), TConfigPage::General);
    EXPECT_EQ(form_->lblBookTitle()->text(), QStringLiteral("General"));
    EXPECT_FALSE(form_->btnApply()->isEnabled());
    EXPECT_FALSE(form_->AnyChanged());
}

TEST_F(ConfigDialogTest, PagesAreBuiltOnlyWhenShown)
{
    TfrmConfig fresh;
    fresh.show();
    EXPECT_TRUE(fresh.IsPageBuilt(TConfigPage::General));
    EXPECT_FALSE(fresh.IsPageBuilt(TConfigPage::VideoOSD));
    fresh.tvConfigNodes()->setCurrentItem(
        fresh.tvConfigNodes()->findItems(QStringLiteral("OSD"), Qt::MatchExactly | Qt::MatchRecursive)[0]);
    EXPECT_TRUE(fresh.IsPageBuilt(TConfigPage::VideoOSD));
    EXPECT_EQ(fresh.lblBookTitle()->text(), QStringLiteral("OSD"));
}

// Every check box changes exactly its own setting and nothing else.
TEST_F(ConfigDialogTest, EachCheckBoxStoresExactlyItsSetting)
{
    const std::set<std::string> notInFile = {"cbLSASAutoRecord"};
    std::vector<QCheckBox*> boxes;
    for (int i = 0; i < kConfigPageCount; ++i)
        if (TConfigPageWidget* page = form_->Page(static_cast<TConfigPage>(i)))
            for (const TConfigBinding& binding : page->Bindings())
                if (auto* box = qobject_cast<QCheckBox*>(binding.Control))
                    boxes.push_back(box);
    EXPECT_GT(boxes.size(), 40u);
    for (QCheckBox* box : boxes) {
        const std::set<std::string> before = stored();
        const bool autoRecord = config_.LSASAutoRecord;
        box->setEnabled(true);
        box->toggle();
        ASSERT_TRUE(form_->Apply()) << box->objectName().toStdString();
        std::vector<std::string> changed;
        for (const std::string& line : stored())
            if (!before.count(line))
                changed.push_back(line);
        const std::string name = box->objectName().toStdString();
        if (notInFile.count(name))
            EXPECT_NE(config_.LSASAutoRecord, autoRecord);
        else
            EXPECT_EQ(changed.size(), 1u) << name;
    }
}

struct RoundTrip {
    const char* Control;
    std::function<void(TKConfig&)> Given;
    const char* Shown; // what the control shows (index or text)
    const char* Typed; // what the user sets
    std::function<bool(const TKConfig&)> Stored;
};

TEST_F(ConfigDialogTest, ControlsRoundTripTheirSettings)
{
    const RoundTrip table[] = {
        {"edFaderCount", [](TKConfig& c) { c.Fader.Count = 1200; }, "1200", "2500",
         [](const TKConfig& c) { return c.Fader.Count == 2500; }},
        {"edVFaderCount", [](TKConfig& c) { c.Fader.VolumeCount = 300; }, "300", "32767",
         [](const TKConfig& c) { return c.Fader.VolumeCount == 32767; }},
        {"edURLMaxDelay", [](TKConfig& c) { c.NumTrysURLStream = 4; }, "4", "0",
         [](const TKConfig& c) { return c.NumTrysURLStream == 0; }},
        {"edURLTimeRetry", [](TKConfig& c) { c.TryURLTime = 700; }, "700", " 900 ",
         [](const TKConfig& c) { return c.TryURLTime == 900; }},
        {"edNetPreBuffer", [](TKConfig& c) { c.NetPrebuffer = 20; }, "20", "100",
         [](const TKConfig& c) { return c.NetPrebuffer == 100; }},
        {"edtTJCount", [](TKConfig& c) { c.JumpInterval = 3000; }, "3000", "10000",
         [](const TKConfig& c) { return c.JumpInterval == 10000; }},
        {"edtUserDefRatioX", [](TKConfig& c) { c.Ratio.User.X = 1.5f; }, "1.5", "2,25",
         [](const TKConfig& c) { return c.Ratio.User.X == 2.25f; }},
        {"edtUserDefRatioY", [](TKConfig& c) { c.Ratio.User.Y = 2; }, "2", "0.5",
         [](const TKConfig& c) { return c.Ratio.User.Y == 0.5f; }},
        {"edtLSASFormatmask", [](TKConfig& c) { c.LSAS.FormatMask = "%ARTIST%"; }, "%ARTIST%", "Caf\u00e9 %TITLE%",
         [](const TKConfig& c) { return c.LSAS.FormatMask == "Caf\xe9 %TITLE%"; }},
        {"edtLSASOutputPath", [](TKConfig& c) { c.LSAS.OutputPath = "/music/"; }, "/music/", "/rec/",
         [](const TKConfig& c) { return c.LSAS.OutputPath == "/rec/"; }},
        {"cbAudioSpeakers", [](TKConfig& c) { c.Speakers = 5; }, "1", "4",
         [](const TKConfig& c) { return c.Speakers == 8; }},
        {"cbBassOutputDevice", [](TKConfig& c) { c.BassDevice = 0; }, "0", "1",
         [](const TKConfig& c) { return c.BassDevice == 2; }},
        {"cbMouseWheelControlOnFocusSelect", [](TKConfig& c) { c.MouseWheelControlOnFocus = 2; }, "2", "0",
         [](const TKConfig& c) { return c.MouseWheelControlOnFocus == 0; }},
        {"cbOMProblemsAction", [](TKConfig& c) { c.OMProblemsAction = 1; }, "1", "0",
         [](const TKConfig& c) { return c.OMProblemsAction == 0; }},
        {"cbVideoFSForceDisplayOutput", [](TKConfig& c) { c.VideoFSForceDisplay = -1; }, "0", "1",
         [](const TKConfig& c) { return c.VideoFSForceDisplay == 0; }},
        {"cbDefaultSubtitle", [](TKConfig& c) { c.VidDefault.Subtitle = "German"; }, "6", "4",
         [](const TKConfig& c) { return c.VidDefault.Subtitle == "English"; }},
        {"tbAudioBufferPrio", [](TKConfig& c) { c.AudioPlaybackPriority.Priority = 1; }, "1", "4",
         [](const TKConfig& c) { return c.AudioPlaybackPriority.Priority == 4; }},
        {"tbVideoHUE", [](TKConfig& c) { c.VideoColorControls.Hue = -90; }, "-90", "36",
         [](const TKConfig& c) { return c.VideoColorControls.Hue == 36; }},
        {"tbVideoBrightness", [](TKConfig& c) { c.VideoColorControls.Brightness = 4000; }, "4000", "9000",
         [](const TKConfig& c) { return c.VideoColorControls.Brightness == 9000; }},
        {"tbPeaksFallOff", [](TKConfig& c) { c.Spectrum.PeaksFallOff = 2; }, "2", "3",
         [](const TKConfig& c) { return c.Spectrum.PeaksFallOff == 3; }},
        {"seOSDFontSize", [](TKConfig& c) { c.OSD.Font.Size = 20; }, "20", "4",
         [](const TKConfig& c) { return c.OSD.Font.Size == 4; }},
    };
    for (const RoundTrip& row : table) {
        row.Given(config_);
        form_->hide();
        form_->show(); // showing reloads every page
        EXPECT_EQ(shown(row.Control), QString::fromUtf8(row.Shown)) << row.Control;
        set(row.Control, QString::fromUtf8(row.Typed));
        EXPECT_TRUE(form_->Apply()) << row.Control << ": " << form_->ErrorText().toStdString();
        EXPECT_TRUE(row.Stored(config_)) << row.Control;
    }
    // Brightness stands upright, brightest at the top: Up brightens.
    auto* brightness = control<QSlider>("tbVideoBrightness");
    EXPECT_EQ(brightness->orientation(), Qt::Vertical);
    const int before = brightness->value();
    QTest::keyClick(brightness, Qt::Key_Up);
    EXPECT_GT(brightness->value(), before);
}

TEST_F(ConfigDialogTest, ChoicesMapTheirSettings)
{
    config_.SBTextAlign = 3;
    config_.PLOnDragDropMode = 7;
    config_.PlayMode = {true, 2};
    config_.SLMoveProg = 1;
    form_->hide();
    form_->show();
    EXPECT_EQ(choice("rgPLSB"), 2); // centre
    EXPECT_EQ(choice("rgPLOnDragDrop"), 1);
    EXPECT_EQ(choice("rgPlaymode"), 2);
    EXPECT_EQ(choice("rgScolllabel"), 1);

    choose("rgPLSB", 3);
    choose("rgPLOnDragDrop", 2);
    choose("rgPlaymode", 0);
    ASSERT_TRUE(form_->Apply());
    EXPECT_EQ(config_.SBTextAlign, 2); // right
    EXPECT_EQ(config_.PLOnDragDropMode, 2);
    EXPECT_FALSE(config_.PlayMode.Enabled);
    EXPECT_EQ(config_.PlayMode.Mode, 2); // the mode keeps its value
}

TEST_F(ConfigDialogTest, ShowingDiscardsUnappliedChanges)
{
    set("edFaderCount", QStringLiteral("4321"));
    EXPECT_TRUE(form_->btnApply()->isEnabled());
    form_->btnCancel()->click();
    EXPECT_FALSE(form_->isVisible());
    form_->show();
    EXPECT_EQ(shown("edFaderCount"), QString::number(config_.Fader.Count));
    EXPECT_FALSE(form_->btnApply()->isEnabled());
    EXPECT_NE(config_.Fader.Count, 4321);
}

// A refused field stops Apply before anything is stored: the settings file
// stays as it was, the message names the field and the field has the focus.
TEST_F(ConfigDialogTest, BadInputIsRefusedAndNothingIsApplied)
{
    struct Bad {
        const char* Control;
        const char* Text;
        const char* Says;
    };
    static const std::string tooLong(300, 'x');
    const Bad table[] = {
        {"edFaderCount", "", "Crossfader: please enter"},
        {"edFaderCount", "12a", "not a number"},
        {"edFaderCount", "-5", "not a number"},
        {"edFaderCount", "70000", "outside the range 0 to 32767"},
        {"edFaderCount", "99999999999999999999999999", "outside the range"},
        {"edVFaderCount", "\u0663\u0660", "not a number"}, // Arabic-Indic digits
        {"edtTJCount", "0", "outside the range 1 to 3600000"},
        {"edtUserDefRatioX", "1.2.3", "not a number"},
        {"edtUserDefRatioY", "0", "outside the range"},
        {"edtUserDefRatioY", ",", "not a number"},
        {"edtLSASFormatmask", "\u65e5\u672c", "Western European"},
        {"edtLSASFormatmask", tooLong.c_str(), "at most 255"},
    };
    for (const Bad& row : table) {
        form_->hide();
        form_->show();
        control<QCheckBox>("cbOFAReadID3Tag")->toggle(); // an area stored before the bad one
        set(row.Control, QString::fromUtf8(row.Text));
        const std::set<std::string> before = stored();
        const TKConfig copy = config_;
        EXPECT_FALSE(form_->Apply()) << row.Control << " " << row.Text;
        EXPECT_EQ(stored(), before) << row.Control;
        EXPECT_EQ(copy.OFAReadID3Tag, config_.OFAReadID3Tag);
        EXPECT_TRUE(form_->ErrorText().contains(QString::fromUtf8(row.Says))) << form_->ErrorText().toStdString();
        EXPECT_TRUE(form_->btnApply()->isEnabled());
        EXPECT_EQ(QApplication::focusWidget() == nullptr || form_->isAncestorOf(QApplication::focusWidget()), true);
    }
}

TEST_F(ConfigDialogTest, RatioReadsEitherSeparatorWhateverTheLocale)
{
    if (!ktest::SetTestLocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "no German locale";
    for (const char* text : {"1,5", "1.5"}) {
        set("edtUserDefRatioX", QString::fromLatin1(text));
        ASSERT_TRUE(form_->Apply()) << form_->ErrorText().toStdString();
        EXPECT_EQ(config_.Ratio.User.X, 1.5f) << text;
        config_.Ratio.User.X = 1;
        form_->hide();
        form_->show();
    }
    std::setlocale(LC_ALL, "C");
}

TEST_F(ConfigDialogTest, ApplyRunsTheStepsInTheirOrder)
{
    std::vector<std::string> calls;
    auto record = [&calls](const char* name) { return [&calls, name] { calls.push_back(name); }; };
    form_->Hooks.BufferChanged = record("buffer");
    form_->Hooks.FullscreenControlChanged = record("fullscreen");
    form_->Hooks.SpeakersChanged = record("speakers");
    form_->Hooks.VideoColorsChanged = record("colours");
    form_->Hooks.RepaintPlaylist = record("playlist");
    form_->Hooks.SetTrayMode = record("tray");
    form_->Hooks.FaderChanged = record("fader");
    form_->Hooks.PlayModeChanged = record("playmode");
    form_->Hooks.SetScrollDirection = [&calls](int direction) {
        calls.push_back("scroll" + std::to_string(direction));
    };
    // Marked in the reverse of Apply's order.
    set("tbAudioBufferPrio", QStringLiteral("0"));
    control<QCheckBox>("gbVideoFSControl_Enable")->toggle();
    set("cbAudioSpeakers", QStringLiteral("2"));
    set("tbVideoGamma", QStringLiteral("200"));
    control<QCheckBox>("cbPLDrawTime")->toggle();
    choose("rgScolllabel", 1);
    set("edFaderCount", QStringLiteral("700"));
    choose("rgPlaymode", 1);
    ASSERT_TRUE(form_->Apply());
    EXPECT_EQ(calls, (std::vector<std::string>{"playmode", "fader", "tray", "scroll2", "playlist", "colours",
                                               "speakers", "fullscreen", "buffer"}));
    EXPECT_FALSE(form_->btnApply()->isEnabled());
    calls.clear();
    ASSERT_TRUE(form_->Apply()); // nothing marked: nothing re-applied
    EXPECT_TRUE(calls.empty());
}

TEST_F(ConfigDialogTest, OutputDeviceChangeAsksForRestart)
{
    config_.BassDevice = 3;
    form_->hide();
    form_->show();
    EXPECT_EQ(shown("cbBassOutputDevice"), QStringLiteral("0"));
    set("cbBassOutputDevice", QStringLiteral("1"));
    ASSERT_TRUE(form_->Apply());
    EXPECT_EQ(config_.BassDevice, 2);
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].contains(QStringLiteral("must restart")));
}

TEST_F(ConfigDialogTest, DefaultsResetEverySettingAndReloadTheControls)
{
    config_.Fader.Count = 77;
    form_->hide();
    form_->show();
    bool arranged = false;
    form_->Hooks.ArrangeWindows = [&arranged] { arranged = true; };
    form_->btnSetTotalDefault()->click();
    EXPECT_TRUE(arranged);
    EXPECT_EQ(config_.Fader.Count, 1000);
    EXPECT_EQ(shown("edFaderCount"), QStringLiteral("1000"));
    EXPECT_FALSE(form_->btnApply()->isEnabled());
}

TEST_F(ConfigDialogTest, NumberFieldsAreChangedOnlyByTheKeysThatTypeNumbers)
{
    auto* count = control<QLineEdit>("edFaderCount");
    for (const auto& [key, marks] : {std::pair{Qt::Key_A, false},
                                     {Qt::Key_Period, false},
                                     {Qt::Key_Space, false},
                                     {Qt::Key_7, true},
                                     {Qt::Key_Backspace, true},
                                     {Qt::Key_Delete, true}}) {
        form_->hide();
        form_->show();
        QTest::keyClick(count, key);
        EXPECT_EQ(form_->btnApply()->isEnabled(), marks) << QKeySequence(key).toString().toStdString();
    }
    form_->hide();
    form_->show();
    count->setText(QStringLiteral("1234")); // pasted, not typed
    EXPECT_FALSE(form_->btnApply()->isEnabled());
    QTest::keyClick(control("edtUserDefRatioX"), Qt::Key_Comma);
    EXPECT_FALSE(form_->btnApply()->isEnabled());
}

TEST_F(ConfigDialogTest, APreBufferAbove100IsStoredAndShownAs100)
{
    set("edNetPreBuffer", QStringLiteral("250"));
    ASSERT_TRUE(form_->Apply()) << form_->ErrorText().toStdString();
    EXPECT_EQ(config_.NetPrebuffer, 100);
    EXPECT_EQ(shown("edNetPreBuffer"), QStringLiteral("100"));
}

TEST_F(ConfigDialogTest, TheDialogHasTheDesignedSizeGrownWithTheFont)
{
    const QSize designed(692, 469);
    const QFont tahoma8 = gdi::ToQFont(gdi::Font{.name = u"Tahoma", .size = 8});
    EXPECT_EQ(DesignedSize(designed, tahoma8), designed);
    EXPECT_EQ(DesignedSize(designed, gdi::ToQFont(gdi::Font{.name = u"Tahoma", .pixelSize = 6})), designed)
        << "never shrunk";
    QFont twice = tahoma8;
    twice.setPixelSize(2 * tahoma8.pixelSize());
    const QSize grown = DesignedSize(designed, twice);
    const double scale = QFontMetricsF(twice).height() / QFontMetricsF(tahoma8).height();
    EXPECT_NEAR(grown.width(), designed.width() * scale, 1);
    EXPECT_NEAR(grown.height(), designed.height() * scale, 1);
    form_->hide();
    EXPECT_EQ(form_->size(), DesignedSize(designed, form_->font()));
}

// Each node shows its own 32-pixel image, and whichever page is chosen its
// node and every top-level node can be seen without scrolling the tree.
TEST_F(ConfigDialogTest, ThePageTreeShowsItsNodeImagesAndTheChosenNodeWithoutScrolling)
{
    QTreeWidget* tree = form_->tvConfigNodes();
    EXPECT_EQ(tree->indentation(), 35);
    std::vector<QTreeWidgetItem*> nodes;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        nodes.push_back(tree->topLevelItem(i));
        for (int c = 0; c < tree->topLevelItem(i)->childCount(); ++c)
            nodes.push_back(tree->topLevelItem(i)->child(c));
    }
    ASSERT_EQ(nodes.size(), size_t{kConfigPageCount});
    std::set<qint64> pictures;
    for (size_t i = 0; i < nodes.size(); ++i) {
        const QImage picture = nodes[i]->icon(0).pixmap(QSize(32, 32), 1.0).toImage();
        EXPECT_EQ(picture.size(), QSize(32, 32)) << i;
        EXPECT_EQ(picture, form_->imglstConfigNodes32[i].pixmap(QSize(32, 32), 1.0).toImage()) << i;
        pictures.insert(picture.cacheKey());
    }
    EXPECT_EQ(pictures.size(), nodes.size()) << "every node has a picture of its own";

    for (int page = 0; page < kConfigPageCount; ++page) {
        SCOPED_TRACE(page);
        form_->ShowPage(static_cast<TConfigPage>(page));
        QCoreApplication::processEvents();
        const QRect viewport = tree->viewport()->rect();
        const QRect chosen = tree->visualItemRect(nodes[static_cast<size_t>(page)]);
        EXPECT_GE(chosen.height(), 32);
        EXPECT_TRUE(viewport.contains(chosen));
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            EXPECT_TRUE(viewport.contains(tree->visualItemRect(tree->topLevelItem(i)))) << i;
        EXPECT_EQ(tree->verticalScrollBar()->maximum(), 0);
    }
}

TEST_F(ConfigDialogTest, FaderCountFollowsItsCheckBox)
{
    // Each fader's time and its unit follow that fader's own box, whatever
    // the other box shows.
    const struct {
        const char *box, *other, *count, *unit;
    } faders[] = {
        {"cbFader", "cbVFader", "edFaderCount", "lblFaderCount"},
        {"cbVFader", "cbFader", "edVFaderCount", "lblVFaderCount"},
    };
    for (const auto& f : faders) {
        SCOPED_TRACE(f.box);
        for (const bool on : {true, false}) {
            control<QCheckBox>(f.other)->setChecked(!on);
            control<QCheckBox>(f.box)->setChecked(on);
            EXPECT_EQ(control(f.count)->isEnabled(), on);
            EXPECT_EQ(control(f.unit)->isEnabled(), on);
        }
    }
    // Showing the dialog loads the boxes and the fields follow them.
    config_.Fader.Enabled = false;
    config_.Fader.VolumeEnabled = true;
    form_->hide();
    form_->show();
    EXPECT_FALSE(control("edFaderCount")->isEnabled());
    EXPECT_TRUE(control("edVFaderCount")->isEnabled());
    auto* show = control<QCheckBox>("cbAnalyzerShowSpectrum");
    show->setChecked(false);
    EXPECT_FALSE(control("tbPeaksFallOff")->isEnabled());
}

TEST(ConfigNumbers, WholeNumbers)
{
    struct Row {
        const char16_t* Text;
        TNumberCheck Check;
        int64_t Value;
    };
    const Row table[] = {
        {u"5000", TNumberCheck::Ok, 5000},       {u"  42 ", TNumberCheck::Ok, 42},
        {u"", TNumberCheck::Empty, 0},           {u"   ", TNumberCheck::Empty, 0},
        {u"+5", TNumberCheck::NotNumber, 0},     {u"-1", TNumberCheck::NotNumber, 0},
        {u"1e3", TNumberCheck::NotNumber, 0},    {u"\uff15", TNumberCheck::NotNumber, 0}, // full-width digit
        {u"32768", TNumberCheck::OutOfRange, 0}, {u"184467440737095516160000", TNumberCheck::OutOfRange, 0},
    };
    for (const Row& row : table) {
        int64_t value = -7;
        EXPECT_EQ(ParseWholeNumber(row.Text, 0, 32767, value), row.Check);
        EXPECT_EQ(value, row.Check == TNumberCheck::Ok ? row.Value : -7);
    }
}

TEST(ConfigNumbers, DecimalNumbers)
{
    double value = 0;
    EXPECT_EQ(ParseDecimalNumber(u"1,5", 0.01, 100, value), TNumberCheck::Ok);
    EXPECT_EQ(value, 1.5);
    EXPECT_EQ(ParseDecimalNumber(u".25", 0.01, 100, value), TNumberCheck::Ok);
    EXPECT_EQ(value, 0.25);
    EXPECT_EQ(ParseDecimalNumber(u"1,5,", 0.01, 100, value), TNumberCheck::NotNumber);
    EXPECT_EQ(ParseDecimalNumber(u"1e5", 0.01, 100, value), TNumberCheck::NotNumber);
    EXPECT_EQ(ParseDecimalNumber(u"0,0", 0.01, 100, value), TNumberCheck::OutOfRange);
    EXPECT_EQ(ParseDecimalNumber(std::u16string(400, u'9'), 0.01, 100, value), TNumberCheck::OutOfRange);
}

} // namespace
