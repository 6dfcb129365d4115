#include "skinlayout.h"

#include "skinatlas.h"

namespace skingen {

BuiltinSkin MakeBuiltinSkin()
{
    Atlas atlas(640);
    Xml x;
    x.Raw("<?xml version=\"1.0\" encoding=\"utf-8\"?>");
    x.Comment("The built-in skin of Kolvarin, written by its generator; edit the generator, not this file.");
    x.Open("KolvarinSkin Version=\"2.60.0.0\" Name=\"base[default]\"");
    x.Open("Author");
    x.Leaf("FullSkinName", "Value=\"Kolvarin Base\"");
    x.Leaf("Name", "Name=\"Kolvarin\"");
    x.Leaf("Web", "URL=\"\"");
    x.Leaf("Email", "Address=\"\"");
    x.Close("Author");
    x.Open("Common");
    x.Color("TransparentColor", pal::transparent);
    x.Close("Common");
    x.Open("Forms");
    const TimeGlyphs time = DrawTimeGlyphs(atlas);
    DrawMain(atlas, x, time);
    DrawPlaylist(atlas, x);
    DrawMediaControls(atlas, x);
    DrawVideo(atlas, x);
    DrawFullscreenControl(atlas, x, time);
    x.Close("Forms");
    x.Close("KolvarinSkin");
    return {atlas.Take(), x.text};
}

} // namespace skingen
