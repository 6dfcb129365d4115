// Shows the configuration dialog over default settings and saves a picture
// of each page as config-<page>.png in the folder given on the command line.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>
#include <string>

#include "core/settings/kconfig.h"
#include "core/settings/khotkeys.h"
#include "core/system/kpaths.h"
#include "core/text/klanguage.h"
#include "core/text/ktemplates.h"
#include "dialogs/configform.h"
#include "playback/ksystem.h"

using namespace kolvarin;

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    QTemporaryDir home;
    UserPath = home.path().toStdString() + "/";
    ApplicationPath = UserPath;
    TKConfig config;
    config.SetDefaults();
    config.SetDefaultFilters();
    TKConfig::FillKnownExtensions(config.AcceptedExtensions);
    Config = &config;
    SetDefaultLanguage(Language);
    TKHotKeys hotKeys;
    HotKeys = &hotKeys;
    TKTemplateLoader balloon, osd;
    BalloonTemplate = &balloon;
    OSDTemplate = &osd;
    AudioDevices = {"Built-in Audio Analog Stereo", "HDMI Output"};

    TfrmConfig form;
    // A few graph types as the graph scripts declare them.
    QDir().mkpath(QString::fromStdString(ApplicationPath + "data/dsgraphs"));
    for (const char* script : {"Kolvarin Codec Pack", "MPEG 1-2"})
        QFile(QString::fromStdString(ApplicationPath + "data/dsgraphs/" + script + ".kgraph"))
            .open(QIODevice::WriteOnly);
    form.Hooks.GraphTypes = [] {
        return std::vector<TKGraphType>{
            {"Kolvarin Codec Pack",
             {{".avi", "Audio Video Interleave"}, {".mkv", "Matroska video"}, {".mpg", "MPEG video"}}},
            {"MPEG 1-2", {{".mpg", "MPEG video"}, {".mpeg", "MPEG video"}}},
            {"Tracker", {{".mod", "ProTracker module"}}},
        };
    };
    form.show();
    const std::string folder = argv[1];
    int failed = 0;
    for (int i = 0; i < kConfigPageCount; ++i) {
        const auto page = static_cast<TConfigPage>(i);
        form.ShowPage(page);
        // A chosen row shows the script editor at work.
        if (page == TConfigPage::VideoFilter)
            if (auto* table = form.findChild<QTreeWidget*>(QStringLiteral("lvDSGraphTypeList")))
                table->setCurrentItem(table->topLevelItem(1));
        for (int round = 0; round < 5; ++round)
            QApplication::processEvents();
        const QImage image = form.grab().toImage();
        const std::string path = folder + "/config-" + ConfigPageInfo(page).Name + ".png";
        if (!image.save(QString::fromStdString(path))) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            ++failed;
        }
    }
    Config = nullptr;
    HotKeys = nullptr;
    BalloonTemplate = OSDTemplate = nullptr;
    return failed == 0 ? 0 : 1;
}
