#include "core/desktop/kshellutils.h"

#include <optional>
#include <utility>

#include "shell/dialogs.h"
#include "shell/files.h"
#include "shell/launcher.h"
#include "shell/network.h"
#include "shell/windows.h"

namespace kolvarin {

void OpenURL(const std::u16string& text) { shell::OpenDocument(text); }

bool DeleteToRecycleBin(const std::u16string& path) { return shell::MoveToTrash(path); }

bool BrowseForFolder(QWidget* owner, std::u16string& folder, const std::u16string& caption,
                     const std::u16string& initialFolder)
{
    const std::u16string& start = initialFolder.empty() ? folder : initialFolder;
    std::optional<std::u16string> chosen = shell::Dialogs().current().browseForFolder(owner, caption, start);
    if (!chosen)
        return false;
    folder = *chosen;
    return true;
}

std::u16string GetDisplayName(const std::u16string& path) { return shell::DisplayName(path); }

std::u16string GetSpecialFolderPath(int folderId)
{
    using shell::SpecialFolder;
    static constexpr std::pair<int, SpecialFolder> folders[] = {
        {CSIDL_DESKTOP, SpecialFolder::Desktop},    {CSIDL_DESKTOPDIRECTORY, SpecialFolder::Desktop},
        {CSIDL_PERSONAL, SpecialFolder::Documents}, {CSIDL_MYMUSIC, SpecialFolder::Music},
        {CSIDL_MYVIDEO, SpecialFolder::Videos},     {CSIDL_MYPICTURES, SpecialFolder::Pictures},
        {CSIDL_FONTS, SpecialFolder::Fonts},        {CSIDL_APPDATA, SpecialFolder::Data},
        {CSIDL_LOCAL_APPDATA, SpecialFolder::Data}, {CSIDL_INTERNET_CACHE, SpecialFolder::Cache},
        {CSIDL_PROFILE, SpecialFolder::Home},
    };
    for (const auto& [id, folder] : folders)
        if (id == folderId)
            return shell::SpecialFolderPath(folder);
    return {};
}

bool ShowDontAskAgainDialog(const std::u16string& caption, const std::u16string& label,
                            const std::vector<std::u16string>& items, std::u16string& chosen, bool& dontAskAgain)
{
    shell::ListChoice choice = shell::Dialogs().current().chooseFromList(nullptr, caption, label, items);
    chosen = choice.chosen;
    dontAskAgain = choice.dontAskAgain;
    return choice.accepted;
}

bool ForceForegroundWindow(QWidget* window) { return shell::RaiseWindow(window); }

void ShowTaskbarButton(QWidget* window, bool show) { shell::SetTaskbarEntry(window, show); }

bool IsInternetConnected() { return shell::IsOnline(); }

} // namespace kolvarin
