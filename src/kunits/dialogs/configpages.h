#pragma once

#include "dialogs/configpage.h"

namespace kolvarin {

class TfrmConfig;

// The pages made of plain bound controls (General, Playlist, Audio,
// AudioOutput, AudioLivestreaming, System, Mouse, Video, VideoDefault,
// VideoFullscreen, Notifications), built and loaded; null for other pages.
TConfigPageWidget* CreateSimpleConfigPage(TConfigPage page, TConfigPageWidget::MarkFunction mark, QWidget* parent,
                                          TfrmConfig& form);

// The on-screen text page: position, font, colour, size and a preview.
TConfigPageWidget* CreateOSDConfigPage(TConfigPageWidget::MarkFunction mark, QWidget* parent);

// The skin page (list, preview, colour blend) or the language page (list,
// saving the current texts); both report their choice to the dialog.
TConfigPageWidget* CreateSkinConfigPage(TConfigPage page, TConfigPageWidget::MarkFunction mark, TfrmConfig& form);

// The file-types page: the registrable extensions as a markup check list,
// registered or unregistered on Apply through the user's registry and the
// desktop's .desktop file; the two context-menu boxes.
TConfigPageWidget* CreateFileTypesConfigPage(TConfigPageWidget::MarkFunction mark, TfrmConfig& form);

// The shortcut page: the hot-key table with its editor; it changes HotKeys
// at once, without Apply.
TConfigPageWidget* CreateHotKeysConfigPage(TConfigPageWidget::MarkFunction mark);

// The accepted-extension page or the video-filter page (DVD graph and the
// graph-script table).
TConfigPageWidget* CreateListConfigPage(TConfigPage page, TConfigPageWidget::MarkFunction mark, TfrmConfig& form);

// Reads the graph scripts again and refills the video-filter page's table
// from the settings, with no row chosen; the "Video" node does so.
void RefillGraphScriptTable(TConfigPageWidget& page);

} // namespace kolvarin
