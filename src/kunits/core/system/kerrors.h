#pragma once

#include <functional>
#include <string>

namespace kolvarin {

// The program's error codes, numbered as the design numbers them: 0-20 core,
// 100-103 skin engine, 150 language, 200-251 audio library, 300 playlist,
// 1000-1050 media files and playlists, 1999-2007 DVD and graph building,
// 3000-3100 URLs, dates, DirectX, images and graph scripts, 4000 music CD,
// 5000 tags, 5500 live update, 9999 unexpected exceptions. Their texts are
// one table in kerrors.cpp. 1001 and 1002 are also the media problems of a
// video file and of a DVD that do not play.
enum class TKErrorCode : int {
    None = 0,
    InvalidConfigFile = 10,
    HookActivationFailed = 20,
    SkinFilesNotFound = 100,
    SkinEngineInit = 101,
    SkinEngineException = 102,
    SkinResourceLoad = 103,
    LanguageFileCorrupted = 150,
    AudioLibraryVersion = 200,
    AudioInit = 201,
    CDInit = 202,
    StreamCreate = 203,
    StreamPlay = 204,
    ModCreate = 250,
    ModPlay = 251,
    PlaylistFileCorrupted = 300,
    FileNotFound = 1000,
    MediaNotPlayed = 1001,
    DirectShowInit = 1002,
    CannotPlay = 1003,
    NoUnicode = 1004,
    ExtensionFiltered = 1005,
    PlaylistNotSupported = 1040,
    InvalidShoutcastPlaylist = 1050,
    DVDMessage = 1999,
    DVDError = 2000,
    DVDVolumeMissing = 2001,
    DVDNoVolume = 2002,
    DVDNoLine21 = 2003,
    DVDClosedCaptions = 2004,
    DVDStreamsNotRendered = 2005,
    DVDNotEnoughDecoders = 2006,
    DVDGraphBuild = 2007,
    InvalidURL = 3000,
    InvalidDateTime = 3001,
    DirectXMissing = 3002,
    ImageCapture = 3003,
    GraphScriptSyntax = 3100,
    CDTrackNotPlayed = 4000,
    TagNotSaved = 5000,
    LiveUpdateMissing = 5500,
    UnexpectedException = 9999,
};

// The message of an error code, with "%s" replaced by Param; empty for an
// unknown code.
std::u16string GetErrorMessage(TKErrorCode code, const std::u16string& param);

// The full text of the error box: the starred header, ID, Class, Message and,
// when fatal, "Program terminated.".
std::u16string GetErrorBoxText(TKErrorCode code, const std::u16string& classText, const std::u16string& param,
                               bool fatal);

// The short one-line text for tray balloons; empty when the code has none.
std::u16string GetErrorText(TKErrorCode code, const std::u16string& fileName);

// What shows error boxes. The program installs a Qt message box; tests
// install a recorder. Called on the main thread.
class TErrorDialog {
public:
    enum class Icon { Error, Warning };
    virtual ~TErrorDialog() = default;
    virtual void Show(const std::u16string& title, const std::u16string& text, Icon icon) = 0;
};

// Installs the dialog and what a fatal error calls after its box is closed
// (the program asks its message loop to end). Either may be null.
void SetErrorDialog(TErrorDialog* dialog);
void SetTerminateRequest(std::function<void()> terminate);
// Asks the program to end the normal way (what SetTerminateRequest
// installed): the windows stay as the user left them while the shutdown
// stores them. Nothing when none is installed.
void RequestTerminate();

// Shows the warning or, when Fatal, the runtime-exception box and then
// requests termination. A non-fatal 9999 shows nothing.
void ShowError(TKErrorCode code, const std::u16string& classText, const std::u16string& param, bool fatal);

} // namespace kolvarin
