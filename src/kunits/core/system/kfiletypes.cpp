#include "core/system/kfiletypes.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include <QMimeDatabase>
#include <QString>

#include "core/settings/ksystemtypes.h"
#include "core/system/kfilesave.h"
#include "core/system/kpaths.h"
#include "core/system/kprogramicon.h"
#include "core/text/klanguage.h"
#include "core/text/kstrings.h"

namespace kolvarin {

namespace {

using registry::TRegistry;
constexpr auto HKCR = TRegistry::Root::ClassesRoot;
constexpr auto HKCU = TRegistry::Root::CurrentUser;
constexpr auto HKLM = TRegistry::Root::LocalMachine;

const std::string kBackup = "Kolvarin.Backup";
const std::string kDefault; // the key's default value has no name
const std::string kApplication = "Applications\\Kolvarin.exe";
const std::string kDVDHandler = "Kolvarin.DVDHandler";
const std::string kAutoplayHandler =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers\\Handlers\\KolvarinPlayDVDMovieOnArrival";
const std::string kAutoplayEvent =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers\\EventHandlers\\PlayDVDMovieOnArrival";
const std::string kClients = "Software\\Clients\\Media";
const std::string kClient = "Software\\Clients\\Media\\Kolvarin Media Player";
const std::u16string kClientName = u"Kolvarin Media Player";
// Where the desktop's previous default applications are kept, by MIME type.
const std::string kMimeBackup = "Software\\Kolvarin\\DefaultApplications";
const std::string kDesktopId = "kolvarin.desktop";

constexpr const char* kPlaylistTypes[] = {".KPL", ".PLS", ".M3U"};

std::u16string W(const std::string& text) { return Utf8ToUtf16(text); }

std::u16string Quote(const std::string& exe) { return std::u16string(u"\"").append(W(exe)).append(u"\""); }

std::u16string Command(const std::string& exe, const char16_t* rest) { return Quote(exe) + u" " + rest; }

const std::u16string& StatusText(int number) { return Language.Text(TLanguageSection::Status, number); }

void SetDefault(TRegistry& reg, TRegistry::Root root, const std::string& key, const std::u16string& value)
{
    reg.WriteString(root, key, kDefault, value);
}

// Keeps the key's default in the backup value before it is replaced, unless
// a backup exists already or the default is the player's own.
void BackUpDefault(TRegistry& reg, const std::string& key, const std::u16string& ours)
{
    if (reg.ValueExists(HKCR, key, kBackup))
        return;
    const std::optional<std::u16string> current = reg.ReadString(HKCR, key, kDefault);
    if (current && *current == ours)
        return;
    if (reg.KeyExists(HKCR, key))
        reg.WriteString(HKCR, key, kBackup, current.value_or(u""));
}

// Gives the key back its saved default while it still holds the player's
// (any default when Ours is empty). Without a backup the key was the
// player's own creation and goes; with an empty one the default goes.
void RestoreDefault(TRegistry& reg, const std::string& key, const std::u16string& ours, bool mayDeleteKey)
{
    const std::optional<std::u16string> backup = reg.ReadString(HKCR, key, kBackup);
    const std::optional<std::u16string> current = reg.ReadString(HKCR, key, kDefault);
    const bool stillOurs = current && (ours.empty() || *current == ours);
    reg.DeleteValue(HKCR, key, kBackup);
    if (!stillOurs)
        return;
    if (!backup) {
        if (mayDeleteKey)
            reg.DeleteKey(HKCR, key);
    } else if (backup->empty()) {
        reg.DeleteValue(HKCR, key, kDefault);
    } else {
        SetDefault(reg, HKCR, key, *backup);
    }
}

std::string UpperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return text;
}

std::string LowerAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return text;
}

std::string EnvFolder(const char* variable, const char* fallback)
{
    const char* value = std::getenv(variable);
    if (value && *value)
        return IncludeTrailingSlash(value);
    const char* home = std::getenv("HOME");
    return IncludeTrailingSlash(home ? home : "") + fallback;
}

// Quoted for an Exec line: inside the quotes '"', '`', '$' and '\' take a
// backslash, and the value's own escaping doubles every backslash.
std::string DesktopExec(const std::string& exe)
{
    std::string quoted = "\"";
    for (char c : exe) {
        if (c == '"' || c == '`' || c == '$')
            quoted += std::string("\\\\") + c;
        else if (c == '\\')
            quoted += "\\\\\\\\";
        else
            quoted += c;
    }
    return quoted + "\"";
}

// The audio and video MIME types of the extensions, each once, in order.
std::vector<std::string> MimeTypesOf(const std::vector<TKRegisteredType>& extensions)
{
    QMimeDatabase db;
    std::vector<std::string> types;
    for (const TKRegisteredType& type : extensions) {
        const QString name = QStringLiteral("file") + QString::fromStdString(LowerAscii(type.Extension));
        for (const QMimeType& mime : db.mimeTypesForFileName(name)) {
            const std::string text = mime.name().toStdString();
            // Some extensions are shared with other kinds of file (".ts" is
            // also a translation file): the player claims only media.
            if (!text.starts_with("audio/") && !text.starts_with("video/"))
                continue;
            if (std::find(types.begin(), types.end(), text) == types.end())
                types.push_back(text);
        }
    }
    return types;
}

// The desktop file installed beside an installed program, when there is one:
// registration then points at it and writes no copy.
bool HasInstalledDesktopFile(const std::string& exe)
{
    const std::string& installed = BuiltDataLocations().Installed;
    std::error_code ec;
    return !installed.empty() &&
           std::filesystem::is_regular_file(
               std::filesystem::path(exe).parent_path() / installed / ".." / "applications" / kDesktopId, ec);
}

bool WriteDesktopFile(const std::string& exe, const std::vector<std::string>& types)
{
    std::error_code ec;
    if (HasInstalledDesktopFile(exe)) {
        // A user's copy would hide the installed file from the desktop.
        std::filesystem::remove(DesktopFileName(), ec);
        RemoveProgramIcons(IconThemeFolder());
        return !ec;
    }
    std::filesystem::create_directories(std::filesystem::path(DesktopFileName()).parent_path(), ec);
    InstallProgramIcons(IconThemeFolder());
    try {
        SaveFileAtomically(DesktopFileName(), DesktopFileText(exe, types));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// The lines of mimeapps.list with its [Default Applications] group.
class MimeAppsList {
public:
    MimeAppsList()
    {
        std::string bytes;
        ReadWholeFile(MimeAppsFileName(), bytes, size_t(16) << 20);
        size_t start = 0;
        while (start < bytes.size()) {
            size_t end = bytes.find('\n', start);
            if (end == std::string::npos)
                end = bytes.size();
            lines_.push_back(bytes.substr(start, end - start));
            start = end + 1;
        }
    }

    std::optional<std::string> Get(const std::string& type) const
    {
        const auto [first, last] = Group();
        for (size_t i = first; i < last; ++i)
            if (KeyOf(lines_[i]) == type)
                return lines_[i].substr(lines_[i].find('=') + 1);
        return std::nullopt;
    }

    void Set(const std::string& type, const std::string& value)
    {
        auto [first, last] = Group();
        for (size_t i = first; i < last; ++i)
            if (KeyOf(lines_[i]) == type) {
                lines_[i] = type + "=" + value;
                return;
            }
        if (first == 0 && last == 0) {
            lines_.push_back("[Default Applications]");
            first = last = lines_.size();
        }
        // After the group's last entry, before the blank lines that part it from the next group.
        while (last > first && lines_[last - 1].empty())
            --last;
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last), type + "=" + value);
    }

    void Remove(const std::string& type)
    {
        const auto [first, last] = Group();
        for (size_t i = first; i < last; ++i)
            if (KeyOf(lines_[i]) == type) {
                lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
                return;
            }
    }

    void Save() const
    {
        std::string text;
        for (const std::string& line : lines_)
            text += line + "\n";
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(MimeAppsFileName()).parent_path(), ec);
        try {
            SaveFileAtomically(MimeAppsFileName(), text);
        } catch (const std::exception&) {
        }
    }

private:
    static std::string Trim(std::string_view text)
    {
        const size_t first = text.find_first_not_of(" \t\r");
        const size_t last = text.find_last_not_of(" \t\r");
        return first == std::string_view::npos ? std::string() : std::string(text.substr(first, last - first + 1));
    }
    static std::string KeyOf(const std::string& line)
    {
        const size_t eq = line.find('=');
        return eq == std::string::npos || Trim(line).starts_with('#') ? std::string() : Trim(line.substr(0, eq));
    }
    // The lines after the group header up to the next header; 0, 0 when absent.
    std::pair<size_t, size_t> Group() const
    {
        for (size_t i = 0; i < lines_.size(); ++i) {
            if (Trim(lines_[i]) != "[Default Applications]")
                continue;
            size_t end = i + 1;
            while (end < lines_.size() && !Trim(lines_[end]).starts_with('['))
                ++end;
            return {i + 1, end};
        }
        return {0, 0};
    }

    std::vector<std::string> lines_;
};

bool NamesPlayer(const std::string& value) { return value == kDesktopId || value == kDesktopId + ";"; }

void SetDefaultApplications(TRegistry& reg)
{
    MimeAppsList list;
    for (const std::string& type : RegisteredMimeTypes()) {
        const std::optional<std::string> current = list.Get(type);
        if (current && NamesPlayer(*current))
            continue;
        if (!reg.ValueExists(HKCU, kMimeBackup, type))
            reg.WriteString(HKCU, kMimeBackup, type, W(current.value_or("")));
        list.Set(type, kDesktopId + ";");
    }
    list.Save();
}

} // namespace

TRegistry OpenUserRegistry() { return TRegistry(UserPath + "registry"); }

void ChangeUserRegistry(const std::function<void(TRegistry&)>& change)
{
    TRegistry reg = OpenUserRegistry();
    change(reg);
    reg.Flush();
}

void RegisterExtension(TRegistry& reg, const std::string& ext, const std::string& exe, const std::string& icon)
{
    const std::string progId = "Kolvarin" + ext;
    BackUpDefault(reg, ext, W(progId));
    SetDefault(reg, HKCR, ext, W(progId));
    SetDefault(reg, HKCR, progId + "\\DefaultIcon", W(icon + ",0"));
    SetDefault(reg, HKCR, progId + "\\shell\\open\\command", Command(exe, u"%1"));
    SetDefault(reg, HKCR, progId + "\\shell\\Play", StatusText(38));
    SetDefault(reg, HKCR, progId + "\\shell\\Play\\command", Command(exe, u"/play %1"));
    SetDefault(reg, HKCR, progId + "\\shell\\Add", StatusText(37));
    SetDefault(reg, HKCR, progId + "\\shell\\Add\\command", Command(exe, u"/add %1"));
}

void UnregisterExtension(TRegistry& reg, const std::string& ext)
{
    const std::string progId = "Kolvarin" + ext;
    RestoreDefault(reg, ext, W(progId), true);
    reg.DeleteKey(HKCR, progId);
}

std::vector<TKRegisteredType> RegisteredFileTypes()
{
    std::vector<TKRegisteredType> types;
    auto add = [&types](std::string ext, TSystemType type = TSystemType::None) {
        std::string icon = LowerAscii(ext.substr(1)) + ".ico";
        types.push_back({std::move(ext), std::move(icon), type});
    };
    for (const TFormatTable& table : FormatTables())
        for (size_t i = 1; i < table.Extensions.size(); ++i)
            add(table.Extensions[i], table.Type);
    for (const char* ext : kPlaylistTypes)
        add(ext);
    add(UpperAscii(".kskz"));
    return types;
}

std::vector<std::string> RegisteredMimeTypes() { return MimeTypesOf(RegisteredFileTypes()); }

bool IsExtensionRegistered(const TRegistry& reg, const std::string& ext)
{
    const std::optional<std::u16string> value = reg.ReadString(HKCR, ext, "");
    return value && *value == W("Kolvarin" + ext);
}

bool UpdateDesktopFile(const TRegistry& reg, const std::string& exe)
{
    std::vector<TKRegisteredType> registered;
    for (const TKRegisteredType& type : RegisteredFileTypes())
        if (IsExtensionRegistered(reg, type.Extension))
            registered.push_back(type);
    if (!registered.empty())
        return WriteDesktopFile(exe, MimeTypesOf(registered));
    std::error_code ec;
    std::filesystem::remove(DesktopFileName(), ec);
    return !ec;
}

void RegisterAllFileTypes(TRegistry& reg, const std::string& exe)
{
    const std::string icons = ApplicationPath + "data/icons/";
    for (const TKRegisteredType& type : RegisteredFileTypes())
        RegisterExtension(reg, type.Extension, exe, icons + type.IconFile);
    // Registration reports nothing; the registry part still stands.
    WriteDesktopFile(exe, RegisteredMimeTypes());
}

void UnregisterAllFileTypes(TRegistry& reg)
{
    for (const TKRegisteredType& type : RegisteredFileTypes())
        UnregisterExtension(reg, type.Extension);
    RestoreDefaultApplications(reg);
    std::error_code ec;
    std::filesystem::remove(DesktopFileName(), ec);
    RemoveProgramIcons(IconThemeFolder());
}

void RegisterApplicationContextMenu(TRegistry& reg, const std::string& exe)
{
    for (const char* key : {"", "\\shell", "\\DefaultIcon", "\\shell\\Add", "\\shell\\Add\\command", "\\shell\\Play",
                            "\\shell\\Play\\command"})
        reg.CreateKey(HKCR, kApplication + key);
    for (const char* key : {"Directory\\shell\\Kolvarin.Play", "Directory\\shell\\Kolvarin.Play\\command",
                            "Directory\\shell\\Kolvarin.Add", "Directory\\shell\\Kolvarin.Add\\command"})
        reg.CreateKey(HKCR, key);
    SetDefault(reg, HKCR, kApplication + "\\DefaultIcon", W(exe + ",0"));
    SetDefault(reg, HKCR, kApplication + "\\shell\\Add", StatusText(37));
    SetDefault(reg, HKCR, kApplication + "\\shell\\Add\\command", Command(exe, u"/add %1"));
    SetDefault(reg, HKCR, kApplication + "\\shell\\Play", StatusText(38));
    SetDefault(reg, HKCR, kApplication + "\\shell\\Play\\command", Command(exe, u"/play %1"));
    SetDefault(reg, HKCR, "Directory\\shell\\Kolvarin.Play", StatusText(38));
    SetDefault(reg, HKCR, "Directory\\shell\\Kolvarin.Play\\command", Command(exe, u"/play %1"));
    SetDefault(reg, HKCR, "Directory\\shell\\Kolvarin.Add", StatusText(37));
    SetDefault(reg, HKCR, "Directory\\shell\\Kolvarin.Add\\command", Command(exe, u"/add %1"));
}

void UnregisterApplication(TRegistry& reg) { reg.DeleteKey(HKCR, kApplication); }

bool IsContextMenuRegistered(const TRegistry& reg)
{
    return reg.KeyExists(HKCR, kApplication + "\\shell\\Add") && reg.KeyExists(HKCR, kApplication + "\\shell\\Play") &&
           reg.KeyExists(HKCR, "Directory\\shell\\Kolvarin.Play") &&
           reg.KeyExists(HKCR, "Directory\\shell\\Kolvarin.Add");
}

void RegisterDVD(TRegistry& reg, const std::string& exe, const std::string& icon)
{
    BackUpDefault(reg, "DVD", u"Kolvarin");
    SetDefault(reg, HKCR, "DVD", u"Kolvarin");
    BackUpDefault(reg, "DVD\\DefaultIcon", W(icon + ",0"));
    SetDefault(reg, HKCR, "DVD\\DefaultIcon", W(icon + ",0"));
    SetDefault(reg, HKCR, "DVD\\shell\\Kolvarin.Play", StatusText(42));
    SetDefault(reg, HKCR, "DVD\\shell\\Kolvarin.Play\\command", Command(exe, u"/dvd %1"));
    reg.WriteString(HKLM, kAutoplayHandler, "Action", StatusText(43));
    reg.WriteString(HKLM, kAutoplayHandler, "DefaultIcon", W(icon + ",0"));
    reg.WriteString(HKLM, kAutoplayHandler, "InvokeProgID", W(kDVDHandler));
    reg.WriteString(HKLM, kAutoplayHandler, "InvokeVerb", u"Play");
    reg.WriteString(HKLM, kAutoplayHandler, "Provider", kClientName);
    reg.WriteString(HKLM, kAutoplayEvent, "KolvarinPlayDVDMovieOnArrival", u"");
    SetDefault(reg, HKCR, kDVDHandler, u"Kolvarin DVD Movie");
    reg.WriteBinary(HKCR, kDVDHandler, "EditFlags", std::string("\x02\x00\x00\x00", 4));
    SetDefault(reg, HKCR, kDVDHandler + "\\DefaultIcon", W(icon + ",0"));
    SetDefault(reg, HKCR, kDVDHandler + "\\shell", u"Play");
    SetDefault(reg, HKCR, kDVDHandler + "\\shell\\Play", u"Play with Kolvarin");
    SetDefault(reg, HKCR, kDVDHandler + "\\shell\\Play\\command", Command(exe, u"/dvd %1"));
    SetDefault(reg, HKCR, kDVDHandler + "\\shell\\open\\command", Command(exe, u"/dvd %1"));
}

void UnregisterDVD(TRegistry& reg)
{
    // Only these two keys may hold what was there before; they are the
    // system's, so they stay even without a backup.
    RestoreDefault(reg, "DVD", u"Kolvarin", false);
    RestoreDefault(reg, "DVD\\DefaultIcon", u"", false);
    reg.DeleteKey(HKCR, "DVD\\shell\\Kolvarin.Play");
    reg.DeleteKey(HKLM, kAutoplayHandler);
    reg.DeleteValue(HKLM, kAutoplayEvent, "KolvarinPlayDVDMovieOnArrival");
    reg.DeleteKey(HKCR, kDVDHandler);
}

bool IsDVDContextRegistered(const TRegistry& reg) { return reg.KeyExists(HKCR, "DVD\\shell\\Kolvarin.Play"); }

void RegisterMediaClient(TRegistry& reg, const std::string& exe)
{
    for (const char* key : {"", "\\DefaultIcon", "\\InstallInfo", "\\shell", "\\shell\\open", "\\shell\\open\\command"})
        reg.CreateKey(HKLM, kClient + key);
    if (reg.KeyExists(HKLM, kClients))
        SetDefault(reg, HKLM, kClients, kClientName);
    SetDefault(reg, HKLM, kClient, kClientName);
    SetDefault(reg, HKLM, kClient + "\\DefaultIcon", W(exe + ",0"));
    reg.WriteString(HKLM, kClient + "\\InstallInfo", "ReinstallCommand", Command(exe, u"/register"));
    reg.WriteString(HKLM, kClient + "\\InstallInfo", "HideIconsCommand", Quote(exe));
    reg.WriteString(HKLM, kClient + "\\InstallInfo", "ShowIconsCommand", Quote(exe));
    reg.WriteInteger(HKLM, kClient + "\\InstallInfo", "IconsVisible", 1);
    SetDefault(reg, HKLM, kClient + "\\shell\\open\\command", Command(exe, u"%1"));
    WriteDesktopFile(exe, RegisteredMimeTypes());
    SetDefaultApplications(reg);
}

std::string DesktopFileText(const std::string& exe, const std::vector<std::string>& mimeTypes)
{
    std::string types;
    for (const std::string& type : mimeTypes)
        types += type + ";";
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Kolvarin\n"
           "GenericName=Media Player\n"
           "Exec=" +
           DesktopExec(exe) +
           " %F\n"
           "Icon=" +
           kProgramIconName +
           "\n"
           "Terminal=false\n"
           "Categories=AudioVideo;Audio;Video;Player;\n"
           "MimeType=" +
           types + "\n";
}

std::string DesktopFileName() { return EnvFolder("XDG_DATA_HOME", ".local/share/") + "applications/" + kDesktopId; }

std::string MimeAppsFileName() { return EnvFolder("XDG_CONFIG_HOME", ".config/") + "mimeapps.list"; }

std::string IconThemeFolder() { return EnvFolder("XDG_DATA_HOME", ".local/share/") + "icons/"; }

void RestoreDefaultApplications(TRegistry& reg)
{
    MimeAppsList list;
    std::vector<std::string> saved;
    for (const std::string& type : RegisteredMimeTypes()) {
        const std::optional<std::u16string> backup = reg.ReadString(HKCU, kMimeBackup, type);
        const std::optional<std::string> current = list.Get(type);
        reg.DeleteValue(HKCU, kMimeBackup, type);
        if (!current || !NamesPlayer(*current))
            continue;
        if (backup && !backup->empty())
            list.Set(type, Utf16ToUtf8(*backup));
        else
            list.Remove(type);
    }
    list.Save();
}

} // namespace kolvarin
