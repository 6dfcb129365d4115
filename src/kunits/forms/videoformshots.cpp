// The video window's screenshot, graph log and graph events.
#include "core/settings/kconfig.h"
#include "core/system/kdebug.h"
#include "core/system/kerrors.h"
#include "core/system/kglobals.h"
#include "core/system/kpaths.h"
#include "core/text/klanguage.h"
#include "core/text/kstrings.h"
#include "forms/videoform.h"
#include "forms/videoshots.h"
#include "media/graphif.h"
#include "playback/ksystem.h"
#include "video/dseventtext.h"

namespace kolvarin {

namespace {

// "Screenshot saved as '%s'" in the status texts.
constexpr int kTextScreenshotSaved = 31;

} // namespace

bool TfrmVideo::TakeScreenshot(int mode, std::u16string& fileName)
{
    const bool wasPaused = SysPaused;
    if (!wasPaused && PlaySystem)
        PlaySystem->Pause();
    TKScreenshotSource source;
    source.MediaFile = PlaySystem ? PlaySystem->CurrentEntry().FileName : std::u16string();
    if (const auto seeking = FilterGraph() ? FilterGraph()->Query<media::IMediaSeeking>() : nullptr) {
        seeking->GetCurrentPosition(&source.Position);
        seeking->GetDuration(&source.Duration);
    }
    source.DisplaySize = DSVideoWindowEx->size();
    source.Folder = UserPath + "data/images/";
    const TKScreenshotResult result = WriteScreenshot(source, mode, fileName);
    if (result == TKScreenshotResult::WriteFailed)
        ShowError(TKErrorCode::ImageCapture, u"VIZorud", fileName, false);
    if (!wasPaused && PlaySystem)
        PlaySystem->Pause();
    return result == TKScreenshotResult::Written;
}

void TfrmVideo::ScreenshotClick(int mode)
{
    std::u16string fileName;
    if (TakeScreenshot(mode, fileName))
        Notify(Language.Format(TLanguageSection::Status, kTextScreenshotSaved, fileName), 3000);
}

void TfrmVideo::FilterGraphDSEvent(int32_t code)
{
    const std::string text = video::DSEventText(code);
    Log("TfrmVideo.FilterGraphDSEvent", "Graph Event: " + text);
    if (Config && Config->DebugEnabled && SysActive)
        Notify(Utf8ToUtf16(text), 5000);
}

void TfrmVideo::WriteFilterGraphToLog()
{
    const char* proc = "TfrmVideo.WriteFilterGraphToLog";
    Log(proc, "Enter");
    const auto graph = GraphActive() ? FilterGraph()->Query<media::IFilterGraph>() : nullptr;
    for (const std::string& line : FilterGraphLogLines(graph.get()))
        Log(proc, line);
}

} // namespace kolvarin
