// The video window's screenshot and graph log.
#include "core/system/kdebug.h"
#include "core/system/kerrors.h"
#include "core/system/kglobals.h"
#include "core/system/kpaths.h"
#include "core/text/klanguage.h"
#include "forms/videoform.h"
#include "forms/videoshots.h"
#include "media/graphif.h"
#include "playback/ksystem.h"

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

void TfrmVideo::WriteFilterGraphToLog()
{
    const char* proc = "TfrmVideo.WriteFilterGraphToLog";
    Log(proc, "Enter");
    const auto graph = GraphActive() ? FilterGraph()->Query<media::IFilterGraph>() : nullptr;
    for (const std::string& line : FilterGraphLogLines(graph.get()))
        Log(proc, line);
}

} // namespace kolvarin
