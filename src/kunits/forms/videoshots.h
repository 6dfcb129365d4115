#pragma once

// Two services of the video window: the picture of the playing file saved
// as a numbered bitmap in the user folder, and the built graph's filters,
// pins, connections and media types written to the trace log. Main thread.

#include <cstdint>
#include <string>
#include <vector>

#include <QSize>

#include "media/graphif.h"

namespace kolvarin {

// The screenshot modes: the video's own size, or the display's size.
enum TKScreenshotMode : int { smOriginal = 0, smFitted = 1 };

// The first free name folder + the medium's name without folder + "." +
// the counter from 1 (at least three digits) + ".bmp".
std::string NextScreenshotName(const std::string& folder, const std::u16string& mediaFile);

// What a screenshot needs of the player: the playing file, the position and
// the length in one unit (0 when unknown, as for URL streams), the
// display's size, and the folder (created when missing).
struct TKScreenshotSource {
    std::u16string MediaFile;
    int64_t Position = 0;
    int64_t Duration = 0;
    QSize DisplaySize;
    std::string Folder;
};

// Outcome of writing a screenshot: Written, or why not. Only WriteFailed is
// the user's business (the detector could not write the bitmap).
enum class TKScreenshotResult { Written, NoPicture, WriteFailed };

// The picture at the position (the first stream must be video described by
// FORMAT_VideoInfo), sized by mode, written by the media detector; fileName
// receives the bitmap's name without folder.
TKScreenshotResult WriteScreenshot(const TKScreenshotSource& source, int mode, std::u16string& fileName);

// The lines the graph log writes after "Enter": filters and their chains,
// or the failure lines. Empty when the graph is null (not active).
std::vector<std::string> FilterGraphLogLines(media::IFilterGraph* graph);

// The registered name of a filter class (the default value of its class
// key below HKEY_LOCAL_MACHINE\Software\Classes\CLSID); empty when none.
std::u16string GetFilterNameFromClassID(const media::GUID& classId);

} // namespace kolvarin
