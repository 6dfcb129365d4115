#include <filesystem>

#include "core/playlist/kplaylistfiles.h"
#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/settings/ksystemtypes.h"
#include "core/system/kcmdparameter.h"
#include "core/system/kdebug.h"
#include "core/system/kpaths.h"
#include "core/text/kstrings.h"
#include "forms/appstates.h"
#include "forms/mainform.h"
#include "kaddmedia.h"
#include "kapp.h"
#include "kforms.h"
#include "skin/kskinchange.h"

namespace kolvarin {

namespace {

namespace fs = std::filesystem;

std::u16string QuotedW(const std::u16string& text) { return u"\"" + text + u"\""; }

void HandleFilename(const std::u16string& name)
{
    const char* proc = "KLoadParameter.HandleFilename";
    const std::string file = Utf16ToUtf8(name);
    const std::u16string ext = WideLowerCase(ExtractFileExtW(name));
    if (ext == u".kpl") {
        Log(proc, "Kolvarin Playlist detected.");
        Log(proc, "Loading kolvarin playlist");
        LoadPlaylistFile(file, false, false);
    } else if (ext == u".pls") {
        Log(proc, "Shoutcast Playlist detected.");
        Log(proc, "Loading shoutcast playlist");
        LoadPlsFile(file, false, false);
    } else if (ext == u".m3u") {
        Log(proc, "Winamp Playlist detected.");
        Log(proc, "Loading m3u playlist");
        LoadM3uFile(file, false, false);
    } else if (ext == u".kskz") {
        Log(proc, "Skin file detected.");
        Log(proc, "Force skin path");
        const std::string skins = UserPath + "data/skins/";
        std::error_code ec;
        fs::create_directories(skins, ec);
        const fs::path target = fs::path(skins) / fs::path(file).filename();
        if (!fs::exists(target, ec)) {
            Log(proc, "Copy skin " + Quoted(file) + " to path " + Quoted(skins));
            fs::copy_file(file, target, fs::copy_options::skip_existing, ec);
        }
        if (fs::exists(target, ec)) {
            Log(proc, "Changing skin " + Quoted(target.stem().string()));
            // The settings keep skin names in Windows-1252.
            Config->Skin = Utf16ToAnsi(Utf8ToUtf16(target.stem().string()));
            const std::string shown =
                Forms ? ChangeSkin(GUI, Config->Skin, Forms->ZipHandler, Forms->SkinWindows()) : Config->Skin;
            if (!shown.empty())
                Config->Skin = shown;
            ApplySpectrumSettings();
            SetApplicationState("SKINCHANGE");
            if (Forms && Forms->SkinnedWindowsOverlap())
                Forms->ShowSkinnedWindows();
        }
    } else {
        Log(proc, "Media file detected.");
        const std::u16string adding = u"Add file " + QuotedW(name) + u"...";
        Log(proc, adding);
        const bool added = MediaAdder.AddFile && MediaAdder.AddFile(name);
        Log(proc, adding + (added ? u" ok" : u" failed!"));
    }
}

// The command line joins the words after an option into one name. When
// that name does not exist, the words may be several names given in a row
// ("/play a.flac b.mp3"): each run of words that names an existing file or
// folder becomes one name. Empty when the words do not all fall into names.
std::vector<std::u16string> SplitJoinedNames(const std::u16string& joined)
{
    std::vector<std::u16string> names;
    std::u16string current;
    size_t start = 0;
    std::error_code ec;
    while (start <= joined.size()) {
        size_t blank = joined.find(u' ', start);
        if (blank == std::u16string::npos)
            blank = joined.size();
        if (!current.empty())
            current += u' ';
        current += joined.substr(start, blank - start);
        if (!current.empty() && fs::exists(fs::path(Utf16ToUtf8(current)), ec)) {
            names.push_back(current);
            current.clear();
        }
        start = blank + 1;
    }
    if (!current.empty() || names.size() < 2)
        return {};
    return names;
}

void HandleEntry(const std::u16string& name, uint8_t command)
{
    const char* proc = "KLoadParameter";
    Log(proc, u"Check parameter " + QuotedW(name) + u" for existing");
    const fs::path path(Utf16ToUtf8(name));
    std::error_code ec;
    if (!name.empty() && fs::is_regular_file(path, ec)) {
        Log(proc, "File detected");
        HandleFilename(name);
    } else if (!name.empty() && fs::is_directory(path, ec)) {
        Log(proc, "Directory detected");
        if (command == optDVD && fs::is_regular_file(path / "VIDEO_TS" / "VIDEO_TS.IFO", ec)) {
            HandleFilename(Utf8ToUtf16((path / "VIDEO_TS" / "VIDEO_TS.IFO").string()));
        } else if (command == optDVD && fs::is_regular_file(path / "VIDEO_TS.IFO", ec)) {
            HandleFilename(Utf8ToUtf16((path / "VIDEO_TS.IFO").string()));
        } else {
            Log(proc, u"Add directory " + QuotedW(name) + u"...");
            AddDirectory(name);
            Log(proc, u"Add directory " + QuotedW(name) + u"... ok");
        }
    } else {
        Log(proc, u"Parameter " + QuotedW(name) + u" is either a directory or a file!");
    }
}

void HandleEntries(const std::u16string& name, uint8_t command)
{
    std::error_code ec;
    const std::vector<std::u16string> names =
        fs::exists(fs::path(Utf16ToUtf8(name)), ec) ? std::vector<std::u16string>{} : SplitJoinedNames(name);
    if (names.empty()) {
        HandleEntry(name, command);
        return;
    }
    for (const auto& each : names)
        HandleEntry(each, command);
}

} // namespace

bool KLoadParameter()
{
    const char* proc = "KLoadParameter";
    Log(proc, "Enter");
    int playCount = 0;
    // Handling an entry may not queue more, but take the queue first all the same.
    const std::vector<TKCmdParameter> queue = std::move(ParameterQueue);
    ParameterQueue.clear();
    for (const auto& record : queue) {
        if (record.Option == optPlay || record.Option == optDVD) {
            Log(proc, "Handle play command: " + TKCmdParameterHandler::OptionText(record.Option));
            if (playCount == 0) {
                Log(proc, "First play entry, Clear playlist");
                PlaylistClear();
            }
            HandleEntries(record.Argument, record.Option);
            ++playCount;
        } else if (record.Option == optAdd) {
            Log(proc, "Handle add command");
            HandleEntries(record.Argument, record.Option);
        }
    }
    Log(proc, "Clear parameter queue");
    Log(proc, "Draw playlist");
    if (PlaylistHooks().RefreshPlaylist)
        PlaylistHooks().RefreshPlaylist();
    if (playCount > 0 && frmMain) {
        Log(proc, "Start commandline play timer");
        frmMain->timCommandPlay.start();
    }
    Log(proc, "Leave with result: false");
    return false;
}

} // namespace kolvarin
