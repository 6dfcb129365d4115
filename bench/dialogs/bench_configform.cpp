// The configuration dialog's costs, each beside a reference in the same run:
// - opening it: creating the dialog and showing its first page, until the
//   event queue is empty (goal: 150 ms), against creating and showing a
//   plain window with one group of four check boxes;
// - Apply with every area but the skin marked on every page (goal: 100 ms),
//   against writing config.xml once.
// Counters: "ms" our time, "ref_ms" the reference's, "ratio" ours over it.

#include <filesystem>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <benchmark/benchmark.h>

#include "benchpair.h"

#include "core/settings/kconfig.h"
#include "core/settings/khotkeys.h"
#include "core/system/kpaths.h"
#include "core/text/klanguage.h"
#include "dialogs/configform.h"

using namespace kolvarin;

namespace {

using kbench::EnsureApplication;
using kbench::Pair;

// Settings, hot keys and folders in a temporary home for one benchmark.
struct Environment {
    Environment()
    {
        EnsureApplication();
        kolvarin::UserPath = UserPath();
        ApplicationPath = kolvarin::UserPath;
        config.SetDefaults();
        config.SetDefaultFilters();
        TKConfig::FillKnownExtensions(config.AcceptedExtensions);
        Config = &config;
        HotKeys = &hotKeys;
        SetDefaultLanguage(Language);
    }
    ~Environment()
    {
        Config = nullptr;
        HotKeys = nullptr;
    }
    std::string UserPath() const { return home.path().toStdString() + "/"; }
    QTemporaryDir home;
    TKConfig config;
    TKHotKeys hotKeys;
};

void BM_OpenDialog(benchmark::State& state)
{
    Environment environment;
    Pair(
        state,
        [] {
            TfrmConfig form;
            form.show();
            QApplication::processEvents();
        },
        [] {
            QWidget window;
            auto* group = new QGroupBox(QStringLiteral("Group"), &window);
            auto* layout = new QVBoxLayout(group);
            for (int i = 0; i < 4; ++i)
                layout->addWidget(new QCheckBox(QStringLiteral("Option %1").arg(i), group));
            window.show();
            QApplication::processEvents();
        });
}
BENCHMARK(BM_OpenDialog)->Unit(benchmark::kMillisecond);

void BM_ApplyWithoutSkinChange(benchmark::State& state)
{
    Environment environment;
    TfrmConfig form;
    form.show();
    for (int i = 0; i < kConfigPageCount; ++i)
        form.Page(static_cast<TConfigPage>(i));
    const std::string file = environment.UserPath() + "config.xml";
    Pair(
        state,
        [&form] {
            for (int i = 0; i < kConfigAreaCount; ++i)
                form.MarkArea(static_cast<TConfigArea>(i));
            form.Apply();
        },
        [&environment, &file] { environment.config.SaveToFile(file); });
}
BENCHMARK(BM_ApplyWithoutSkinChange)->Unit(benchmark::kMillisecond);

} // namespace
