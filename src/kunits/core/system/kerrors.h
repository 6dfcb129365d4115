#pragma once

#include <functional>
#include <string>

namespace kolvarin {

// The message of an error code, with "%s" replaced by Param; empty for an
// unknown code.
std::u16string GetErrorMessage(int code, const std::u16string& param);

// The full text of the error box: the starred header, ID, Class, Message and,
// when fatal, "Program terminated.".
std::u16string GetErrorBoxText(int code, const std::u16string& classText, const std::u16string& param, bool fatal);

// The short one-line text for tray balloons; empty when the code has none.
std::u16string GetErrorText(int code, const std::u16string& fileName);

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

// Shows the warning or, when Fatal, the runtime-exception box and then
// requests termination. A non-fatal 9999 shows nothing.
void ShowError(int code, const std::u16string& classText, const std::u16string& param, bool fatal);

} // namespace kolvarin
