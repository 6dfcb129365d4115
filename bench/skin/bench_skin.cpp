// The skin engine's costs, each beside a reference measured in the same run:
// - loading and applying the built-in skin to all windows (goal: 20 ms)
//   against parsing its description and decoding its bitmap;
// - loading a 1 MB skin package (goal: 50 ms) against unpacking its
//   members and decoding its bitmap;
// - a window region from a 1000 x 1000 mask (goal: 5 ms) against one pass
//   over its pixels;
// - one spectrum frame of 512 values, bars with peaks, fall-off and blur
//   (goal: 0.2 ms of the 45 ms budget) against copying the analyzer picture.
// Counters: "ms" our time, "ref_ms" the reference's, "ratio" ours over it.

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include <unistd.h>

#include <QApplication>

#include <benchmark/benchmark.h>

#include "benchpair.h"

#include "core/desktop/kbitmaps.h"
#include "core/system/kpaths.h"
#include "core/xml/lumoxml.h"
#include "gdi/bmpcodec.h"
#include "gdi/canvas.h"
#include "skin/kskinapply.h"
#include "skin/kskinbuiltin.h"
#include "skin/kskinload.h"
#include "skin/kskinnedmain.h"
#include "skin/kskinnedmediacontrols.h"
#include "skin/kskinnedplaylist.h"
#include "skin/kskinnedvideo.h"
#include "skin/spectrum_vis.h"
#include "zip/ziphandler.h"

using namespace kolvarin;
namespace fs = std::filesystem;

namespace {

using kbench::EnsureApplication;
using kbench::Pair;

void BM_LoadAndApplyBuiltinSkin(benchmark::State& state)
{
    EnsureApplication();
    TKGUI skin;
    TKSkinnedMain main(skin);
    TKSkinnedPlaylist playlist(skin);
    TKSkinnedMediaControls controls(skin);
    TKSkinnedVideo video(skin);
    TKSkinnedFullscreenControl bar(skin);
    const TKSkinWindows windows{&main, &playlist, &controls, &video, &bar};
    TZipHandler zip;
    const std::string_view description = BuiltinSkinDescription();
    const std::string_view bitmap = BuiltinSkinBitmap();
    Pair(
        state,
        [&] {
            FreeGUI(skin);
            InitGUI(skin);
            if (LoadSkinByName(skin, kDefaultSkinName, true, zip) != kSkinLoaded)
                state.SkipWithError("the built-in skin did not load");
            ApplySkin(skin, windows);
            ApplySkinToFullscreenControl(skin, bar);
        },
        [&] {
            TLumoXML xml;
            xml.Parse(description);
            gdi::Bitmap decoded;
            gdi::ReadBmp({reinterpret_cast<const uint8_t*>(bitmap.data()), bitmap.size()}, decoded);
            benchmark::DoNotOptimize(decoded);
        });
}
BENCHMARK(BM_LoadAndApplyBuiltinSkin)->Unit(benchmark::kMillisecond);

// A package of the built-in description and a 1 MB bitmap, made with zip.
struct Package {
    fs::path root, archive, bitmapFile;
    Package()
    {
        root = fs::temp_directory_path() / ("kolvarin-bench-skin-" + std::to_string(::getpid()));
        fs::create_directories(root / "src");
        gdi::Bitmap picture(600, 580);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, gdi::RGB(uint8_t(x * 7 + y), uint8_t(x ^ y), uint8_t(y * 3)));
        bitmapFile = root / "src/skin.bmp";
        gdi::SaveBmpFile(bitmapFile.string(), picture);
        const std::string_view description = BuiltinSkinDescription();
        std::ofstream(root / "src/skin.xml", std::ios::binary)
            .write(description.data(), static_cast<std::streamsize>(description.size()));
        archive = root / "bench.kskz";
        const std::string command =
            "cd '" + (root / "src").string() + "' && zip -q '" + archive.string() + "' skin.bmp skin.xml";
        if (std::system(command.c_str()) != 0)
            throw std::runtime_error("zip failed; is it installed?");
    }
    ~Package()
    {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
};

void BM_LoadOneMegabytePackage(benchmark::State& state)
{
    EnsureApplication();
    static const Package package;
    UserPath = (package.root / "user/").string();
    TKGUI skin;
    TZipHandler zip;
    const fs::path unpacked = package.root / "unpacked";
    Pair(
        state,
        [&] {
            FreeGUI(skin);
            InitGUI(skin);
            if (LoadSkinFromArchive(skin, package.archive.string(), zip) != kSkinLoaded)
                state.SkipWithError(LastSkinError().c_str());
        },
        [&] {
            fs::create_directories(unpacked);
            zip.SetZipFileName(package.archive.u16string());
            zip.ExtrBaseDir = (unpacked.u16string() + u"/");
            zip.ExtrOptions = ExtrOverWrite;
            zip.FSpecArgs.clear();
            zip.Extract();
            gdi::Bitmap decoded;
            gdi::LoadBmpFile((unpacked / "skin.bmp").string(), decoded);
            benchmark::DoNotOptimize(decoded);
            std::error_code ec;
            fs::remove_all(unpacked, ec);
        });
}
BENCHMARK(BM_LoadOneMegabytePackage)->Unit(benchmark::kMillisecond);

void BM_RegionFromMask(benchmark::State& state)
{
    const gdi::Color key = gdi::RGB(255, 0, 255);
    gdi::Bitmap mask(1000, 1000);
    for (int y = 0; y < 1000; ++y)
        for (int x = 0; x < 1000; ++x) {
            // A rounded window with holes: many runs per row.
            const bool corner =
                std::hypot(std::max(0, std::abs(x - 500) - 440), std::max(0, std::abs(y - 500) - 440)) > 60;
            const bool hole = (x / 25 + y / 25) % 7 == 0;
            mask.setPixel(x, y, corner || hole ? key : gdi::RGB(30, 32, 38));
        }
    Pair(
        state, [&] { benchmark::DoNotOptimize(CreateRegionFromBitmap(mask, key)); },
        [&] { benchmark::DoNotOptimize(BitmapHasColor(mask, gdi::RGB(1, 2, 3))); });
}
BENCHMARK(BM_RegionFromMask)->Unit(benchmark::kMillisecond);

void BM_SpectrumFrame(benchmark::State& state)
{
    TSpectrum spectrum(300, 80);
    spectrum.Style = 1;
    spectrum.BarWidth = 1;
    spectrum.MaxValue = 80;
    spectrum.Blur = true;
    spectrum.ShowPeaks = true;
    gdi::Bitmap background(300, 80), target(300, 80);
    spectrum.SetBackground(true, background);
    std::vector<float> values(TSpectrum::kValues);
    int frame = 0;
    Pair(
        state,
        [&] {
            ++frame;
            for (size_t i = 0; i < values.size(); ++i)
                values[i] = float(0.08 * (1 + std::sin(0.1 * double(i) + frame * 0.3)));
            spectrum.Draw(target, values, 512, 0);
        },
        [&] { gdi::Canvas(target).bitBlt(0, 0, 300, 80, spectrum.Buffer, 0, 0); });
}
BENCHMARK(BM_SpectrumFrame)->Unit(benchmark::kMicrosecond);

} // namespace
