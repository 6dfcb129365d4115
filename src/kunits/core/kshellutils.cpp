#include "core/kshellutils.h"

#include <optional>

#include "shell/dialogs.h"
#include "shell/files.h"
#include "shell/launcher.h"
#include "shell/network.h"
#include "shell/windows.h"

namespace kolvarin {

void OpenURL(const std::u16string& text)
{
    shell::OpenDocument(text);
}

bool DeleteToRecycleBin(const std::u16string& path)
{
    return shell::MoveToTrash(path);
}

bool BrowseForFolder(QWidget* owner, std::u16string& folder, const std::u16string& caption,
                     const std::u16string& initialFolder)
{
    const std::u16string& start = initialFolder.empty() ? folder : initialFolder;
    std::optional<std::u16string> chosen = shell::CurrentDialogs().browseForFolder(owner, caption, start);
    if (!chosen)
        return false;
    folder = *chosen;
    return true;
}

std::u16string GetDisplayName(const std::u16string& path)
{
    return shell::DisplayName(path);
}

std::u16string GetSpecialFolderPath(int folderId)
{
    using shell::SpecialFolder;
    std::optional<SpecialFolder> folder;
    switch (folderId) {
    case CSIDL_DESKTOP:
    case CSIDL_DESKTOPDIRECTORY:
        folder = SpecialFolder::Desktop;
        break;
    case CSIDL_PERSONAL:
        folder = SpecialFolder::Documents;
        break;
    case CSIDL_MYMUSIC:
        folder = SpecialFolder::Music;
        break;
    case CSIDL_MYVIDEO:
        folder = SpecialFolder::Videos;
        break;
    case CSIDL_MYPICTURES:
        folder = SpecialFolder::Pictures;
        break;
    case CSIDL_FONTS:
        folder = SpecialFolder::Fonts;
        break;
    case CSIDL_APPDATA:
    case CSIDL_LOCAL_APPDATA:
        folder = SpecialFolder::Data;
        break;
    case CSIDL_INTERNET_CACHE:
        folder = SpecialFolder::Cache;
        break;
    case CSIDL_PROFILE:
        folder = SpecialFolder::Home;
        break;
    default:
        break;
    }
    return folder ? shell::SpecialFolderPath(*folder) : std::u16string();
}

bool ShowDontAskAgainDialog(const std::u16string& caption, const std::u16string& label,
                            const std::vector<std::u16string>& items, std::u16string& chosen, bool& dontAskAgain)
{
    shell::ListChoice choice = shell::CurrentDialogs().chooseFromList(nullptr, caption, label, items);
    chosen = choice.chosen;
    dontAskAgain = choice.dontAskAgain;
    return choice.accepted;
}

bool ForceForegroundWindow(QWidget* window)
{
    return shell::RaiseWindow(window);
}

void ShowTaskbarButton(QWidget* window, bool show)
{
    shell::SetTaskbarEntry(window, show);
}

bool IsInternetConnected()
{
    return shell::IsOnline();
}

} // namespace kolvarin
