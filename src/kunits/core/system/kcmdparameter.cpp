#include "core/system/kcmdparameter.h"

#include <algorithm>
#include <array>

#include "core/system/kcmdline.h"
#include "core/system/kdebug.h"
#include "core/system/kglobals.h"
#include "core/text/kstrings.h"

namespace kolvarin {

std::vector<TKCmdParameter> ParameterQueue;
TKParameterActions ParameterActions;

namespace {

constexpr std::array<const char*, optCount> kOptions = {
    "",   "/play",   "/add", "/dvd",     "/register", "/unregister", "/setasdefault", "/exit",
    "/q", "/nosave", "/fs",  "/monitor", "/vup",      "/vdown",      "/tjforward",    "/tjbackward",
};

std::vector<std::function<void()>> g_deferred;

std::u16string Trim(const std::u16string& text)
{
    size_t first = 0, last = text.size();
    while (first < last && text[first] < 33)
        ++first;
    while (last > first && text[last - 1] < 33)
        --last;
    return text.substr(first, last - first);
}

void Call(const std::function<void()>& action)
{
    if (action)
        action();
}

// Volume and time jumps need the player: before start-up has finished they wait.
void CallWhenStarted(const std::function<void()>& action)
{
    if (!action)
        return;
    if (AppInitialized)
        action();
    else
        g_deferred.push_back(action);
}

// A monitor number: decimal digits only, one byte's worth (255, stored as
// the setting's -1, means automatic).
bool ParseMonitor(const std::u16string& text, uint8_t& value)
{
    if (text.empty())
        return false;
    unsigned number = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9')
            return false;
        number = std::min(number * 10 + (c - u'0'), 256u);
    }
    if (number > 255)
        return false;
    value = static_cast<uint8_t>(number);
    return true;
}

void HandleSingleParameter(uint8_t command, const std::u16string& argument)
{
    static constexpr const char* kLabels[] = {"", "Play Filename: ", "Add Filename: ", "DVD Filename: "};
    const std::u16string name = ParameterActions.FixFilename ? ParameterActions.FixFilename(argument) : argument;
    Log("KHandleParameter2.HandleSingleParameter", Utf8ToUtf16(kLabels[command]) + name);
    ParameterQueue.push_back({command, name});
}

} // namespace

uint8_t TKCmdParameterHandler::OptionOf(const std::u16string& word)
{
    const std::string lower = Utf16ToUtf8(WideLowerCase(word));
    for (uint8_t i = 1; i < optCount; ++i) {
        if (lower == kOptions[i])
            return i;
    }
    return optNone;
}

std::string TKCmdParameterHandler::OptionText(uint8_t option) { return option < optCount ? kOptions[option] : ""; }

const TKCmdParameter* TKCmdParameterHandler::Find(uint8_t option) const
{
    for (const auto& item : items_) {
        if (item.Option == option)
            return &item;
    }
    return nullptr;
}

void TKCmdParameterHandler::Update(const std::u16string& text)
{
    const char* proc = "TKCmdParameterHandler.Update";
    Log(proc, u"Enter with PStr=\"" + text + u"\"");
    Parse(SplitCommandLine(text));
    Log(proc, "Leave");
}

void TKCmdParameterHandler::UpdateFromCommandLine(const std::vector<std::u16string>& words)
{
    Update(JoinCommandLine(words));
}

void TKCmdParameterHandler::Parse(const std::vector<std::u16string>& words)
{
    wholeText_.clear();
    plainText_.clear();
    items_.clear();
    std::u16string collected;
    auto closeRecord = [&] {
        if (!items_.empty() && !collected.empty())
            items_.back().Argument = Trim(collected);
        collected.clear();
    };
    for (size_t i = 1; i < words.size(); ++i) {
        const std::u16string& word = words[i];
        wholeText_ += QuoteCommandLineWord(word) + u" ";
        if (uint8_t option = OptionOf(word)) {
            closeRecord();
            items_.push_back({option, {}});
        } else {
            collected += word + u" ";
        }
    }
    if (items_.empty())
        plainText_ = Trim(collected);
    else
        closeRecord();
    wholeText_ = Trim(wholeText_);
}

void KHandleParameter2(const TKCmdParameterHandler& handler, bool& quitRequested)
{
    const char* proc = "KHandleParameter2";
    Log(proc, "Enter");
    Log(proc, "Parameter count: " + std::to_string(handler.Count()));
    const TKParameterActions& a = ParameterActions;
    for (int i = 0; i < handler.Count(); ++i) {
        const TKCmdParameter& p = handler.Items(i);
        Log(proc,
            Utf8ToUtf16("Parameter[" + std::to_string(i) + "]: " + TKCmdParameterHandler::OptionText(p.Option) + ": ") +
                p.Argument);
        switch (p.Option) {
        case optPlay:
        case optAdd:
        case optDVD: HandleSingleParameter(p.Option, p.Argument); break;
        case optRegister:
            Log(proc, "Handle register filetypes");
            Call(a.RegisterFileTypes);
            Log(proc, "Handle register context menu");
            Call(a.RegisterContextMenu);
            break;
        case optUnregister:
            Log(proc, "Handle unregister filetypes");
            Call(a.UnregisterFileTypes);
            Log(proc, "Handle unregister context menu");
            Call(a.UnregisterContextMenu);
            break;
        case optSetAsDefault:
            Log(proc, "Handle set default media player");
            Call(a.SetAsDefault);
            break;
        case optVolumeUp:
            Log(proc, "Handle volume up");
            CallWhenStarted(a.VolumeUp);
            break;
        case optVolumeDown:
            Log(proc, "Handle volume down");
            CallWhenStarted(a.VolumeDown);
            break;
        case optTimeJumpForward:
            Log(proc, "Handle timejump forward");
            CallWhenStarted(a.TimeJumpForward);
            break;
        case optTimeJumpBackward:
            Log(proc, "Handle timejump backward");
            CallWhenStarted(a.TimeJumpBackward);
            break;
        case optMonitor: {
            Log(proc, "Handle monitor output");
            const std::u16string check = u"Check parameter \"" + p.Argument + u"\"";
            Log(proc, check + u"...");
            uint8_t monitor = 0;
            if (ParseMonitor(p.Argument, monitor)) {
                Log(proc, check + u" ok");
                if (a.SetMonitor)
                    a.SetMonitor(monitor);
            } else {
                Log(proc, check + u" failed!");
            }
            break;
        }
        default: break;
        }
    }
    if (!handler.PlainText().empty()) {
        Log(proc, "Add filename parameter as play to queue");
        HandleSingleParameter(optPlay, handler.PlainText());
    }
    Log(proc, "Set quit parameter");
    quitRequested = handler.Find(optExit) != nullptr;
    QuitAfterPlay = QuitAfterPlay || handler.Find(optQuitAfterPlay);
    NoSave = NoSave || handler.Find(optNoSave);
    if (handler.Find(optFullscreen) && a.SetAutoFullscreen)
        a.SetAutoFullscreen(true);
    Log(proc, "Leave");
}

void RunDeferredParameterActions()
{
    auto deferred = std::move(g_deferred);
    g_deferred.clear();
    for (const auto& action : deferred)
        action();
}

} // namespace kolvarin
