#pragma once

// A skin the engine takes goes on to the skin engine's windows and is
// painted once, as the program shows it: sizes from a description must end
// nothing there either.

#include <array>
#include <cstdlib>

#include <QApplication>

#include "skin/kskinapply.h"
#include "skin/kskinelements.h"
#include "skin/kskinnedmain.h"
#include "skin/kskinnedmediacontrols.h"
#include "skin/kskinnedplaylist.h"
#include "skin/kskinnedvideo.h"

// The windows draw through Qt, whose application object must exist first;
// the corpus replay calls no initialiser, so it is made at the first input.
inline void ApplyAndPaintOnce(kolvarin::TKGUI& skin)
{
    using namespace kolvarin;
    static int argc = 1;
    static char name[] = "fuzz_skin";
    static char* argv[] = {name, nullptr};
    static QApplication* application = (::setenv("QT_QPA_PLATFORM", "offscreen", 0), new QApplication(argc, argv));
    (void)application;
    static TKSkinnedMain main(skin);
    static TKSkinnedPlaylist playlist(skin);
    static TKSkinnedMediaControls controls(skin);
    static TKSkinnedVideo video(skin);
    static TKSkinnedFullscreenControl bar(skin);
    ApplySkin(skin, {&main, &playlist, &controls, &video, &bar});
    ApplySkinToFullscreenControl(skin, bar);
    SkinPaintTime(skin, *main.imgTime, skin.Main.Time, {1, 2, 3, 4, 5, 9}, true);
    skin.Main.Scrolllabel.Text = u"Kolvarin";
    SkinScrollLabelSetText(skin, skin.Main.Scrolllabel);
    SkinScrollLabelPaint(skin, *main.imgScrolllabel, *main.imgScrollabelBackground, skin.Main.ScrolllabelBackground,
                         skin.Main.Scrolllabel);
    for (QWidget* window : std::array<QWidget*, 5>{&main, &playlist, &controls, &video, &bar})
        window->grab();
}
