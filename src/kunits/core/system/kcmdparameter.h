#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kolvarin {

// An option record: the option number (0 to 15; in the parameter queue the
// command 1 play, 2 add, 3 DVD) and its UTF-16 argument.
struct TKCmdParameter {
    uint8_t Option = 0;
    std::u16string Argument;
};

enum : uint8_t {
    optNone,
    optPlay,
    optAdd,
    optDVD,
    optRegister,
    optUnregister,
    optSetAsDefault,
    optExit,
    optQuitAfterPlay,
    optNoSave,
    optFullscreen,
    optMonitor,
    optVolumeUp,
    optVolumeDown,
    optTimeJumpForward,
    optTimeJumpBackward,
    optCount
};

// Parses one command line into option records. Created per command line.
class TKCmdParameterHandler {
public:
    void Update(const std::u16string& text);
    // The process's own words (argv), program first.
    void UpdateFromCommandLine(const std::vector<std::u16string>& words);

    int Count() const { return static_cast<int>(items_.size()); }
    const TKCmdParameter& Items(int index) const { return items_.at(static_cast<size_t>(index)); }
    const TKCmdParameter* Find(uint8_t option) const;

    // Every word (program excluded), each quoted as needed, joined by blanks.
    const std::u16string& WholeText() const { return wholeText_; }
    // The words when no option was given, joined by blanks.
    const std::u16string& PlainText() const { return plainText_; }

    static uint8_t OptionOf(const std::u16string& word); // 0 for a plain word
    static std::string OptionText(uint8_t option);

private:
    void Parse(const std::vector<std::u16string>& words);

    std::u16string wholeText_;
    std::u16string plainText_;
    std::vector<TKCmdParameter> items_;
};

// The play, add and DVD entries waiting to go into the playlist. Main thread only.
extern std::vector<TKCmdParameter> ParameterQueue;

// What the options that act at once do; each may be empty. Installed by the
// program once the services behind them exist.
struct TKParameterActions {
    std::function<void()> RegisterFileTypes, RegisterContextMenu;
    std::function<void()> UnregisterFileTypes, UnregisterContextMenu;
    std::function<void()> SetAsDefault;
    std::function<void()> VolumeUp, VolumeDown, TimeJumpForward, TimeJumpBackward;
    std::function<void(bool)> SetAutoFullscreen;
    std::function<void(uint8_t)> SetMonitor;
    std::function<std::u16string(const std::u16string&)> FixFilename;
};
extern TKParameterActions ParameterActions;

// Acts on a parsed command line: queues play/add/DVD entries and the plain
// words, runs the immediate options, and sets the flags. "/nosave" and "/q"
// only ever switch their flags on, so a hand-over cannot undo them; "/fs"
// sets full screen only when given. Volume and time jumps that arrive before
// start-up has finished wait for RunDeferredParameterActions.
void KHandleParameter2(const TKCmdParameterHandler& handler, bool& quitRequested);

// Runs the volume and time-jump options that arrived during start-up.
void RunDeferredParameterActions();

} // namespace kolvarin
