// The keys of config.xml against the configuration dialog: each key is
// changed by one of the dialog's controls, or is named below as one the
// windows keep or the pages' own tests drive.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include <map>
#include <set>

#include "configfixture.h"
#include "core/system/kdebug.h"
#include "core/text/kstrings.h"
#include "playback/ksystem.h"

using namespace kolvarin;

namespace {

class ConfigCoverageTest : public ktest::ConfigPageTest {
protected:
    // "Element/Attribute" -> value of every attribute the settings file holds.
    std::map<std::string, std::string> keys()
    {
        const auto file = dir().path() / "config.xml";
        config_.SaveToFile(file.string());
        static const QRegularExpression tag(QStringLiteral("<(\\w+)([^>]*)>"));
        static const QRegularExpression attribute(QStringLiteral("(\\w+)=\"([^\"]*)\""));
        std::map<std::string, std::string> found;
        const QString text = QString::fromStdString(ktest::readFile(file));
        for (auto t = tag.globalMatch(text); t.hasNext();) {
            const auto element = t.next();
            for (auto a = attribute.globalMatch(element.captured(2)); a.hasNext();) {
                const auto pair = a.next();
                found[(element.captured(1) + QLatin1Char('/') + pair.captured(1)).toStdString()] =
                    pair.captured(2).toStdString();
            }
        }
        return found;
    }

    // Changes a bound control as a user would; false for a control that
    // needs a dialog of its own (colours).
    static bool change(QWidget* control)
    {
        control->setEnabled(true);
        if (auto* box = qobject_cast<QCheckBox*>(control)) {
            box->toggle();
        } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
            combo->setCurrentIndex((combo->currentIndex() + 1) % combo->count());
        } else if (auto* slider = qobject_cast<QSlider*>(control)) {
            slider->setValue(slider->value() == slider->maximum() ? slider->minimum() : slider->maximum());
        } else if (auto* spin = qobject_cast<QSpinBox*>(control)) {
            spin->setValue(spin->value() == spin->maximum() ? spin->minimum() : spin->maximum());
        } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            const QString typed = edit->text() == QLatin1String("7") ? QStringLiteral("8") : QStringLiteral("7");
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Backspace);
            edit->insert(typed);
        } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
            for (QButtonGroup* choice : group->findChildren<QButtonGroup*>()) {
                QAbstractButton* next =
                    choice->button((choice->checkedId() + 1) % static_cast<int>(choice->buttons().size()));
                next->setEnabled(true);
                next->click();
            }
        } else {
            return false;
        }
        return true;
    }
};

TEST_F(ConfigCoverageTest, EveryKeyOfTheSettingsFileIsTheDialogsOrAWindows)
{
    AudioDevices = {"First output", "Second output"};
    std::filesystem::create_directories(ApplicationPath + "data/dvdgraphs");
    for (const char* name : {"First", "Second"})
        std::ofstream(ApplicationPath + "data/dvdgraphs/" + name + ".kgraph") << "";
    TKDebug trace((dir().path() / "trace.log").string());
    trace.SetLogToFile(true);
    DebugLog = &trace;
    open();
    std::set<std::string> changed;
    int applied = 0;
    auto applyAndCollect = [&](const std::map<std::string, std::string>& before, const QString& what) {
        ASSERT_TRUE(form_->Apply()) << what.toStdString() << ": " << form_->ErrorText().toStdString();
        ++applied;
        for (const auto& [key, value] : keys())
            if (before.at(key) != value)
                changed.insert(key);
    };
    for (int i = 0; i < kConfigPageCount; ++i) {
        TConfigPageWidget* page = form_->Page(static_cast<TConfigPage>(i));
        for (const TConfigBinding& binding : page ? page->Bindings() : std::vector<TConfigBinding>{}) {
            // A choice goes round all its items: some keys change only at one.
            const auto* group = qobject_cast<QGroupBox*>(binding.Control);
            const qsizetype rounds = group ? group->findChildren<QAbstractButton*>().size() : 1;
            for (qsizetype round = 0; round < rounds; ++round) {
                const auto before = keys();
                if (change(binding.Control))
                    applyAndCollect(before, binding.Control->objectName());
            }
        }
    }
    const auto before = keys();
    form_->findChild<QCheckBox*>(QStringLiteral("cbShowOSD"))->setChecked(true); // the shapes follow it
    form_->findChild<QAbstractButton*>(QStringLiteral("shapeOSDPosBottomRight"))->click();
    applyAndCollect(before, QStringLiteral("OSD position"));

    // The windows keep these (positions, visibility, volume, speed, the
    // equalizer's bands, the time mode, the last folder and entry, the ratio menu,
    // the video menu's DSP switch) or the program does (version, news).
    std::set<std::string> windows = {
        "KolvarinConfigFile/Version",
        "Volume/Value",
        "Balance/Value",
        "PlaylistSize/Width",
        "PlaylistSize/Height",
        "PlaylistVis/Value",
        "LastDir/Path",
        "TimeMode/Mode",
        "MainPos/X",
        "MainPos/Y",
        "PlaylistPos/X",
        "PlaylistPos/Y",
        "MediaControlsPos/X",
        "MediaControlsPos/Y",
        "MainVis/Value",
        "MediaConVis/Value",
        "Speed/Count",
        "MainAlwaysOnTop/Value",
        "DebugEnabled/Value",
        "Mute/Active",
        "LastPlayed/Index",
        "Ratio/Mode",
        "QxDSPFilterActive/Enabled",
        "DSGraphFallback/Enabled",
        "LatestNews/ID",
        "NewsServer/Host",
        "NewsServer/Port",
        "NewsServer/Path",
    };
    // The dialog's as well, through a colour dialog, the skin list and the
    // language list (their pages' tests).
    const std::set<std::string> ownTests = {"Font/Color", "SkinColorBlend/Color", "Skin/Name", "Language/Name"};
    std::set<std::string> uncovered;
    for (const auto& [key, value] : keys())
        if (!changed.count(key) && !ownTests.count(key) && !key.starts_with("Band/"))
            uncovered.insert(key);
    EXPECT_EQ(uncovered, windows);

    // The trace log shows every step of every Apply done, none failed.
    DebugLog = nullptr;
    const std::string log = Utf16ToUtf8(LeBytesToUtf16(ktest::readFile(trace.FileName()).substr(2)));
    int done = 0;
    for (size_t at = 0; (at = log.find("TfrmConfig.Apply", at)) != std::string::npos; ++at) {
        const std::string line = log.substr(at, log.find("\r\n", at) - at);
        EXPECT_EQ(line.find("failed"), std::string::npos) << line;
        done += line.ends_with(" ok");
    }
    EXPECT_GE(done, applied);
}

} // namespace
