#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/settings/ksystemtypes.h"
#include "registry/registry.h"

namespace kolvarin {

// The user's registry stand-in, UserPath + "registry", loaded anew on each
// call; whoever changes it calls Flush().
registry::TRegistry OpenUserRegistry();

// File-type registration on the registry stand-in, with the freedesktop
// equivalents for the desktop (a .desktop file under $XDG_DATA_HOME/
// applications and the default applications in $XDG_CONFIG_HOME/
// mimeapps.list). Exe is the program file, Icon an icon file. Verb captions
// come from Language. Nothing is reported: keys or files that cannot be
// written are skipped. Main thread.

// A registration keeps the extension's previous default in the value
// "Kolvarin.Backup", once: registering again never overwrites it.
void RegisterExtension(registry::TRegistry& reg, const std::string& ext, const std::string& exe,
                       const std::string& icon);
// Restores the saved default only while the extension still points at the
// player, removes the extension key only when registration created it, and
// always removes the player's own ProgID. An extension the player never
// registered is left alone.
void UnregisterExtension(registry::TRegistry& reg, const std::string& ext);

// Every extension of the format tables and the playlist types, then ".KSKZ",
// with icons from ApplicationPath + "data/icons/"; also writes the .desktop
// file whose MimeType lists their MIME types, with the program's icon.
void RegisterAllFileTypes(registry::TRegistry& reg, const std::string& exe);
// The same extensions unregistered; the desktop's default applications are
// restored (see RestoreDefaultApplications) and the .desktop file and the
// program's icon removed.
void UnregisterAllFileTypes(registry::TRegistry& reg);

void RegisterApplicationContextMenu(registry::TRegistry& reg, const std::string& exe);
void UnregisterApplication(registry::TRegistry& reg);
bool IsContextMenuRegistered(const registry::TRegistry& reg);

void RegisterDVD(registry::TRegistry& reg, const std::string& exe, const std::string& icon);
void UnregisterDVD(registry::TRegistry& reg);
bool IsDVDContextRegistered(const registry::TRegistry& reg);

// The media-client keys; on the desktop the player becomes the default
// application for the MIME types of its extensions (the .desktop file is
// written first). What was the default before is kept in the registry,
// once, to be restored on unregistering.
void RegisterMediaClient(registry::TRegistry& reg, const std::string& exe);

// The extensions registration covers (upper case, with the dot) and the icon
// file of each.
struct TKRegisteredType {
    std::string Extension;
    std::string IconFile;
    TSystemType Type = TSystemType::None; // None for playlists and skin packages
};
std::vector<TKRegisteredType> RegisteredFileTypes();
// The audio and video MIME types of those extensions, each once, in
// extension order.
std::vector<std::string> RegisteredMimeTypes();

// True when the extension's class names the player ("Kolvarin" + Ext, as
// registration writes it); an extension another program took is not.
bool IsExtensionRegistered(const registry::TRegistry& reg, const std::string& ext);
// Writes the .desktop file for the extensions now registered to the player,
// or removes it when none is. False when it cannot be written or removed.
bool UpdateDesktopFile(const registry::TRegistry& reg, const std::string& exe);

// The text of the program's .desktop file: Exe started with the files, the
// program's icon, the MIME types it opens. An installed program has its own
// installed file (made at build time with this text); registration then
// writes no copy into $XDG_DATA_HOME and removes one found there, so the
// default applications name the installed file.
std::string DesktopFileText(const std::string& exe, const std::vector<std::string>& mimeTypes);
// $XDG_DATA_HOME/applications/kolvarin.desktop and $XDG_CONFIG_HOME/mimeapps.list.
std::string DesktopFileName();
std::string MimeAppsFileName();
// $XDG_DATA_HOME/icons/: the .desktop file's icon goes below it, in the
// hicolor theme (core/system/kprogramicon.h).
std::string IconThemeFolder();
// Resets each default application that still names the player to what was
// saved before, or removes it when nothing was; forgets the saved values.
void RestoreDefaultApplications(registry::TRegistry& reg);

// Runs Change on the user's registry and writes it back.
void ChangeUserRegistry(const std::function<void(registry::TRegistry&)>& change);

} // namespace kolvarin
