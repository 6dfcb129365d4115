// The playlist window with 100,000 entries and the built-in skin, scrolled
// by ten rows and repainted at once, as the wheel and the scroll keys do
// (goal: each repaint within 5 ms). The reference is the same window with
// 100 entries, so the counter "ratio" shows what the long list costs.
// Counters: "ms" one scroll and repaint, "ref_ms" the reference's.

#include <string>

#include <benchmark/benchmark.h>

#include "benchpair.h"

#include "core/playlist/kplaylist.h"
#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/text/klanguage.h"
#include "forms/playlistform.h"
#include "skin/kskinapply.h"
#include "skin/kskinload.h"
#include "zip/ziphandler.h"

using namespace kolvarin;

namespace {

// The window over a playlist of `count` entries, laid out and shown.
struct PlaylistWindow {
    explicit PlaylistWindow(int count)
    {
        Playlist = &entries;
        for (int i = 0; i < count; ++i) {
            const std::u16string name = u"Artist " + std::u16string(1, u'A' + i % 26) + u" - Track title number " +
                                        std::u16string(1, u'0' + i % 10);
            PlaylistAdd(name, u"/music/" + name + u".flac", "00:04:1" + std::to_string(i % 10), false, "00");
        }
        window.resize(400, 600);
        TKSkinWindows windows;
        windows.Playlist = &window;
        ApplySkin(GUI, windows);
        window.resize(400, 600);
        window.show();
        QApplication::processEvents();
    }
    ~PlaylistWindow() { Playlist = nullptr; }

    // Ten rows on (back at either end), then the repaint. The windows paint
    // the one process-wide playlist, so this window's list becomes it first.
    void ScrollAndRepaint()
    {
        Playlist = &entries;
        const int before = window.FirstVisibleIndex();
        down ? window.ScrollDown() : window.ScrollUp();
        window.imgPlaylist->repaint();
        if (window.FirstVisibleIndex() == before)
            down = !down;
    }

    bool down = true;
    TKPlaylist entries;
    TfrmPlaylist window;
};

void BM_PlaylistScrollRepaint(benchmark::State& state)
{
    kbench::EnsureApplication();
    TKConfig config;
    config.SetDefaults();
    Config = &config;
    SetDefaultLanguage(Language);
    InitGUI(GUI);
    TZipHandler zip;
    if (LoadSkinByName(GUI, kDefaultSkinName, true, zip) != kSkinLoaded) {
        state.SkipWithError("the built-in skin does not load");
        return;
    }
    {
        PlaylistWindow large(100000);
        PlaylistWindow small(100);
        kbench::Pair(
            state, [&] { large.ScrollAndRepaint(); }, [&] { small.ScrollAndRepaint(); });
    }
    FreeGUI(GUI);
    Config = nullptr;
}

BENCHMARK(BM_PlaylistScrollRepaint)->Iterations(500)->Unit(benchmark::kMicrosecond);

} // namespace
