#include "core/system/kerrors.h"

#include <utility>

namespace kolvarin {

namespace {

struct ErrorEntry {
    int code;
    const char16_t* message; // null: the parameter is the message
};

constexpr ErrorEntry kErrors[] = {
    {0, u"No error."},
    {10, u"Invalid configfile."},
    {20, u"Hook activation failed, no hotkeys available!"},
    {100, u"Skinfiles '%s' not found."},
    {101, u"SkinEngine cannot initialize."},
    {102, u"SkinEngine exception."},
    {103, u"SkinEngine cannot load from resource."},
    {150, u"Language file corrupted."},
    {200, u"Wrong version of the audio library, version 2.4 is required."},
    {201, u"Can't initialize digital sound system"},
    {202, u"Can't initialize CD system"},
    {203, u"Can't create '%s' stream"},
    {204, u"Can't play stream"},
    {250, u"Can't create '%s' mod"},
    {251, u"Can't play mod"},
    {300, u"Invalid or corrupted playlistfile."},
    {1000, u"Can't find file '%s'"},
    {1001, nullptr},
    {1002, u"DirectShow cannot initialize."},
    {1003, u"Can\u00B4t play '%s'"},
    {1004, u"No Unicode Support Yet :("},
    {1005, u"File extension '%s' is filtered !"},
    {1040, u"Playlist file '%s' is not supported!"},
    {1050, u"Invalid ShoutCast Playlist."},
    {1999, u"DVD Error: '%s'"},
    {2000, u"DVD Error: '%s'"},
    {2001, u"The specified DVD volume to be played does not exist."},
    {2002, u"No DVD volume is specified or isn't found."},
    {2003, u"The video decoder doesn't produce line 21 (closed captioning) data."},
    {2004, u"The video decoder can't be shown as closed captioning on video due to a problem with graph building."},
    {2005, u"Can't render one or more stream."},
    {2006, u"There isn't enough hardware or software decoders to decode all streams."},
    {2007, u"Some basic error occurred in building the graph.\r"
           u"Possibilities include the DVD Navigator filter or the video or audio renderer not instantiating,\r"
           u"a trivial connection or pin enumeration failing, or none of the streams rendering."},
    {3000, u"URL '%s' is not a valid link."},
    {3001, u"DateTime '%s' is invalid\r\nPlease send us your error.log !!!"},
    {3002, u"DirectX can\u00B4t found or not installed"},
    {3003, u"Failed to crap image"},
    {3100, u"Syntax error in directshow graph script:\r\n%s"},
    {4000, u"Music CD Track %s cannot play or isn\u00B4t found."},
    {5000, u"ID3 Tag can\u00B4t saved, because file is running or corrupted !"},
    {5500, u"LiveUpdate program is not installed !"},
    {9999, nullptr},
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

std::u16string GetErrorMessage(int code, const std::u16string& param)
{
    for (const ErrorEntry& e : kErrors) {
        if (e.code == code)
            return e.message ? ReplacePercentS(e.message, param) : param;
    }
    return {};
}

std::u16string GetErrorBoxText(int code, const std::u16string& classText, const std::u16string& param, bool fatal)
{
    std::u16string text = std::u16string(kStars) + u"\r\n" +
                          (fatal ? u"Kolvarin runtime exception:" : u"Kolvarin runtime warning:") + u"\r\n" + kStars +
                          u"\r\n";
    std::string id = std::to_string(code);
    text += u"ID: " + std::u16string(id.begin(), id.end()) + u"\r\n";
    text += u"Class: " + classText + u"\r\n";
    text += u"Message: " + GetErrorMessage(code, param);
    if (fatal)
        text += u"\r\nProgram terminated.";
    return text;
}

std::u16string GetErrorText(int code, const std::u16string& fileName)
{
    const char16_t* word;
    const char16_t* ending;
    switch (code) {
    case 1000:
        word = u"File";
        ending = u"not found!";
        break;
    case 1001:
        word = u"File";
        ending = u"could not be played!";
        break;
    case 1002:
        word = u"DVD";
        ending = u"could not be played!";
        break;
    case 1005:
        word = u"File";
        ending = u"is not supported!";
        break;
    case 1040:
        word = u"Playlist";
        ending = u"is not supported!";
        break;
    default: return {};
    }
    return std::u16string(word) + u" \"" + BaseName(fileName) + u"\" " + ending;
}

void SetErrorDialog(TErrorDialog* dialog) { g_dialog = dialog; }
void SetTerminateRequest(std::function<void()> terminate) { g_terminate = std::move(terminate); }

void ShowError(int code, const std::u16string& classText, const std::u16string& param, bool fatal)
{
    if (!fatal && code == 9999)
        return;
    if (g_dialog) {
        g_dialog->Show(fatal ? u"Kolvarin runtime exception" : u"Kolvarin runtime warning",
                       GetErrorBoxText(code, classText, param, fatal),
                       fatal ? TErrorDialog::Icon::Error : TErrorDialog::Icon::Warning);
    }
    if (fatal && g_terminate)
        g_terminate();
}

} // namespace kolvarin
