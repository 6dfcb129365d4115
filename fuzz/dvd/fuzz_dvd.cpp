// The input is a VIDEO_TS folder: records of a file number (the byte's low
// three bits pick VIDEO_TS.IFO/.BUP/.VOB or VTS_01_0.IFO/.BUP/.VOB or
// VTS_01_1.VOB), a 24-bit little-endian length and that many bytes. The
// folder is read as the navigator reads a disc: its structure, then a
// session that plays, jumps, selects and skips through what the machine
// finds, then the navigator filter's questions about the disc.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include <unistd.h>

#include "fuzzfile.h"
#include "media/dvddisc.h"
#include "media/dvdif.h"
#include "media/dvdnavigator.h"
#include "media/dvdsession.h"

using namespace kolvarin::media;
namespace fs = std::filesystem;

namespace {

constexpr const char* kFiles[] = {"VIDEO_TS.IFO", "VIDEO_TS.BUP", "VIDEO_TS.VOB", "VTS_01_0.IFO",
                                  "VTS_01_0.BUP", "VTS_01_0.VOB", "VTS_01_1.VOB", "VTS_01_1.VOB"};

// Enough steps to pass a menu's still and a few cells; a broken chain
// ends far sooner (the session stops a quiet loop).
constexpr int kSteps = 3000;

// The disc's folder of this process, removed when the fuzzer ends.
struct DiscFolder {
    DiscFolder() { fs::create_directories(root / "VIDEO_TS"); }
    ~DiscFolder()
    {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    const fs::path root = fuzzfile::TempFolder() + "/kolvarin-fuzz-dvd-" + std::to_string(getpid());
};

const fs::path& Root()
{
    static const DiscFolder folder;
    return folder.root;
}

void WriteFolder(const uint8_t* data, size_t size)
{
    const fs::path dir = Root() / "VIDEO_TS";
    for (const char* name : kFiles)
        fs::remove(dir / name);
    size_t at = 0;
    while (size - at >= 4) {
        const char* name = kFiles[data[at] & 7];
        const size_t length = std::min<size_t>(size - at - 4, size_t(data[at + 1]) | size_t(data[at + 2]) << 8 |
                                                                  size_t(data[at + 3]) << 16);
        std::ofstream(dir / name, std::ios::binary | std::ios::app)
            .write(reinterpret_cast<const char*>(data + at + 4), static_cast<std::streamsize>(length));
        at += 4 + length;
    }
}

void Play(DvdSession& session, int steps)
{
    uint8_t buffer[2048];
    for (int i = 0; i < steps; ++i) {
        DvdSession::Reading reading;
        switch (session.Next(buffer, &reading)) {
        case DvdSession::Step::Still: session.SkipStill(); break;
        case DvdSession::Step::Wait: session.SkipWait(); break;
        case DvdSession::Step::Stop:
        case DvdSession::Step::Error: return;
        default: break;
        }
        session.TakeUserJump();
    }
}

void Navigate(const std::string& root)
{
    DvdSession session;
    if (!session.Open(root))
        return;
    session.SetTimeCodeEvents(true);
    Play(session, kSteps);
    session.ShowMenu(DVD_MENU_Root);
    Play(session, 64);
    session.SelectRelativeButton(DVD_Relative_Lower);
    session.SelectButton(1);
    session.ActivateButton();
    session.SelectAtPosition({10, 10});
    Play(session, 64);
    session.PlayTitle(1);
    session.SelectAudio(1);
    session.SelectSubpicture(0);
    session.ShowSubpictures(true);
    Play(session, 64);
    session.PlayChapterInTitle(1, 2);
    session.PlayAtTime(DVD_HMSF_TIMECODE{0, 0, 1, 0});
    session.PlayNextChapter();
    session.SelectAngle(2);
    Play(session, 64);
    session.PlayPrevChapter();
    session.ReturnFromSubmenu();
    session.Resume();
    Play(session, 64);
    (void)session.Location();
    (void)session.Highlight();
}

void AskNavigator(const std::string& root)
{
    auto navigator = MakeDvdNavigator();
    auto control = navigator.as<IDvdControl2>();
    auto info = navigator.as<IDvdInfo2>();
    if (!control || !info || Failed(control->SetDVDDirectory(std::u16string(root.begin(), root.end()))))
        return;
    uint32_t volumes = 0, volume = 0, titles = 0;
    DVD_DISC_SIDE side{};
    info->GetDVDVolumeInfo(&volumes, &volume, &side, &titles);
    for (uint32_t title = 0; title <= std::min<uint32_t>(titles, 4) + 1; ++title) {
        uint32_t chapters = 0;
        DVD_TITLE_ATTRIBUTES attributes{};
        info->GetNumberOfChapters(title, &chapters);
        info->GetTitleAttributes(title, &attributes);
    }
    for (uint32_t stream = 0; stream < 9; ++stream) {
        LCID language = 0;
        bool enabled = false;
        info->GetAudioLanguage(stream, &language);
        info->GetSubpictureLanguage(stream, &language);
        info->IsAudioStreamEnabled(stream, &enabled);
        info->IsSubpictureStreamEnabled(stream, &enabled);
    }
    control->PlayTitle(1, 0);
    control->PlayChapterInTitle(1, 1, 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteFolder(data, size);
    const std::string root = DvdRootOf(Root().string());
    DvdDisc disc;
    if (ReadDvdDisc(root, &disc).status != DvdDiscStatus::Ok)
        return 0;
    Navigate(root);
    AskNavigator(root);
    return 0;
}
