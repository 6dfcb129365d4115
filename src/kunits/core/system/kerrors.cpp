#include "core/system/kerrors.h"

#include <utility>

namespace kolvarin {

namespace {

struct ErrorEntry {
    TKErrorCode code;
    const char16_t* message; // null: the parameter is the message
};

constexpr ErrorEntry kErrors[] = {
    {TKErrorCode::None, u"No error."},
    {TKErrorCode::InvalidConfigFile, u"Invalid configfile."},
    {TKErrorCode::HookActivationFailed, u"Hook activation failed, no hotkeys available!"},
    {TKErrorCode::SkinFilesNotFound, u"Skinfiles '%s' not found."},
    {TKErrorCode::SkinEngineInit, u"SkinEngine cannot initialize."},
    {TKErrorCode::SkinEngineException, u"SkinEngine exception."},
    {TKErrorCode::SkinResourceLoad, u"SkinEngine cannot load from resource."},
    {TKErrorCode::LanguageFileCorrupted, u"Language file corrupted."},
    {TKErrorCode::AudioLibraryVersion, u"Wrong version of the audio library, version 2.4 is required."},
    {TKErrorCode::AudioInit, u"Can't initialize digital sound system"},
    {TKErrorCode::CDInit, u"Can't initialize CD system"},
    {TKErrorCode::StreamCreate, u"Can't create '%s' stream"},
    {TKErrorCode::StreamPlay, u"Can't play stream"},
    {TKErrorCode::ModCreate, u"Can't create '%s' mod"},
    {TKErrorCode::ModPlay, u"Can't play mod"},
    {TKErrorCode::PlaylistFileCorrupted, u"Invalid or corrupted playlistfile."},
    {TKErrorCode::FileNotFound, u"Can't find file '%s'"},
    {TKErrorCode::MediaNotPlayed, nullptr},
    {TKErrorCode::DirectShowInit, u"DirectShow cannot initialize."},
    {TKErrorCode::CannotPlay, u"Can\u00B4t play '%s'"},
    {TKErrorCode::NoUnicode, u"No Unicode Support Yet :("},
    {TKErrorCode::ExtensionFiltered, u"File extension '%s' is filtered !"},
    {TKErrorCode::PlaylistNotSupported, u"Playlist file '%s' is not supported!"},
    {TKErrorCode::InvalidShoutcastPlaylist, u"Invalid ShoutCast Playlist."},
    {TKErrorCode::DVDMessage, u"DVD Error: '%s'"},
    {TKErrorCode::DVDError, u"DVD Error: '%s'"},
    {TKErrorCode::DVDVolumeMissing, u"The specified DVD volume to be played does not exist."},
    {TKErrorCode::DVDNoVolume, u"No DVD volume is specified or isn't found."},
    {TKErrorCode::DVDNoLine21, u"The video decoder doesn't produce line 21 (closed captioning) data."},
    {TKErrorCode::DVDClosedCaptions,
     u"The video decoder can't be shown as closed captioning on video due to a problem with graph building."},
    {TKErrorCode::DVDStreamsNotRendered, u"Can't render one or more stream."},
    {TKErrorCode::DVDNotEnoughDecoders, u"There isn't enough hardware or software decoders to decode all streams."},
    {TKErrorCode::DVDGraphBuild,
     u"Some basic error occurred in building the graph.\r"
     u"Possibilities include the DVD Navigator filter or the video or audio renderer not instantiating,\r"
     u"a trivial connection or pin enumeration failing, or none of the streams rendering."},
    {TKErrorCode::InvalidURL, u"URL '%s' is not a valid link."},
    {TKErrorCode::InvalidDateTime, u"DateTime '%s' is invalid\r\nPlease send us your error.log !!!"},
    {TKErrorCode::DirectXMissing, u"DirectX can\u00B4t found or not installed"},
    {TKErrorCode::ImageCapture, u"Failed to crap image"},
    {TKErrorCode::GraphScriptSyntax, u"Syntax error in directshow graph script:\r\n%s"},
    {TKErrorCode::CDTrackNotPlayed, u"Music CD Track %s cannot play or isn\u00B4t found."},
    {TKErrorCode::TagNotSaved, u"ID3 Tag can\u00B4t saved, because file is running or corrupted !"},
    {TKErrorCode::LiveUpdateMissing, u"LiveUpdate program is not installed !"},
    {TKErrorCode::UnexpectedException, nullptr},
};

constexpr char16_t kStars[] = u"****************************************";

TErrorDialog* g_dialog = nullptr;
std::function<void()> g_terminate;

std::u16string ReplacePercentS(std::u16string format, const std::u16string& param)
{
    for (size_t at = format.find(u"%s"); at != std::u16string::npos; at = format.find(u"%s", at + param.size()))
        format.replace(at, 2, param);
    return format;
}

std::u16string BaseName(const std::u16string& path)
{
    size_t cut = path.find_last_of(u"/\\");
    return cut == std::u16string::npos ? path : path.substr(cut + 1);
}

} // namespace

std::u16string GetErrorMessage(TKErrorCode code, const std::u16string& param)
{
    for (const ErrorEntry& e : kErrors) {
        if (e.code == code)
            return e.message ? ReplacePercentS(e.message, param) : param;
    }
    return {};
}

std::u16string GetErrorBoxText(TKErrorCode code, const std::u16string& classText, const std::u16string& param,
                               bool fatal)
{
    std::u16string text = std::u16string(kStars) + u"\r\n" +
                          (fatal ? u"Kolvarin runtime exception:" : u"Kolvarin runtime warning:") + u"\r\n" + kStars +
                          u"\r\n";
    std::string id = std::to_string(static_cast<int>(code));
    text += u"ID: " + std::u16string(id.begin(), id.end()) + u"\r\n";
    text += u"Class: " + classText + u"\r\n";
    text += u"Message: " + GetErrorMessage(code, param);
    if (fatal)
        text += u"\r\nProgram terminated.";
    return text;
}

std::u16string GetErrorText(TKErrorCode code, const std::u16string& fileName)
{
    const char16_t* word;
    const char16_t* ending;
    switch (code) {
    case TKErrorCode::FileNotFound:
        word = u"File";
        ending = u"not found!";
        break;
    // A file whose stream cannot be made or started cannot be played either;
    // without a text it was passed over without a word.
    case TKErrorCode::StreamCreate:
    case TKErrorCode::StreamPlay:
    case TKErrorCode::MediaNotPlayed:
        word = u"File";
        ending = u"could not be played!";
        break;
    case TKErrorCode::DirectShowInit:
        word = u"DVD";
        ending = u"could not be played!";
        break;
    case TKErrorCode::ExtensionFiltered:
        word = u"File";
        ending = u"is not supported!";
        break;
    case TKErrorCode::PlaylistNotSupported:
        word = u"Playlist";
        ending = u"is not supported!";
        break;
    default: return {};
    }
    return std::u16string(word) + u" \"" + BaseName(fileName) + u"\" " + ending;
}

void SetErrorDialog(TErrorDialog* dialog) { g_dialog = dialog; }
void SetTerminateRequest(std::function<void()> terminate) { g_terminate = std::move(terminate); }

void RequestTerminate()
{
    if (g_terminate)
        g_terminate();
}

void ShowError(TKErrorCode code, const std::u16string& classText, const std::u16string& param, bool fatal)
{
    if (!fatal && code == TKErrorCode::UnexpectedException)
        return;
    if (g_dialog) {
        g_dialog->Show(fatal ? u"Kolvarin runtime exception" : u"Kolvarin runtime warning",
                       GetErrorBoxText(code, classText, param, fatal),
                       fatal ? TErrorDialog::Icon::Error : TErrorDialog::Icon::Warning);
    }
    if (fatal)
        RequestTerminate();
}

} // namespace kolvarin
