#pragma once

#include <cstdint>
#include <string>

#include "skin/kgui.h"

namespace kolvarin {

class TZipHandler;

// Results of the skin loaders.
inline constexpr uint8_t kSkinLoaded = 255;
inline constexpr uint8_t kSkinFilesMissing = 1; // bitmap or description missing; no skin of that name
inline constexpr uint8_t kSkinBadDescription = 2; // description neither ".kskn" nor ".xml"
inline constexpr uint8_t kSkinLoadError = 0; // reading, decoding, unpacking or cutting failed

// The name of the built-in skin in the settings.
inline constexpr char kDefaultSkinName[] = "base[default]";

// A skin may ask for at most this many pixels of element images in all (so a
// description cannot make the engine allocate gigabytes).
inline constexpr int64_t kMaxSkinPixels = int64_t(1) << 26;
// Package members larger than these are refused before they are unpacked.
inline constexpr uint32_t kMaxSkinBitmapBytes = 256u << 20;

// Finds and loads a skin by name (Windows-1252, as the settings keep it):
// with UseDefault the built-in one; else UserPath + "data/skins/" + Name +
// ".kskz", then that folder, then the same two under ApplicationPath.
// kSkinFilesMissing when none exists (the record is untouched then).
uint8_t LoadSkinByName(TKGUI& skin, const std::string& name, bool useDefault, TZipHandler& zip);

// Unpacks a ".kskz" package into a fresh folder under UserPath +
// "data/temp/" and loads its bitmap and description (XML before ".kskn";
// for each kind the last member in the directory wins; members are found by
// their file name, members whose names leave the folder are ignored). The
// folder is removed afterwards. A damaged package gives kSkinLoadError.
uint8_t LoadSkinFromArchive(TKGUI& skin, const std::string& archiveName, TZipHandler& zip);

// Loads the bitmap and description among the plain files of the folder.
uint8_t LoadSkinFromFolder(TKGUI& skin, const std::string& folder);

// Reads the description, loads the bitmap, tints it with the configured
// colour blend and cuts every element image. Loaded is false from the start
// and true only on kSkinLoaded. With UseDefault the built-in description and
// bitmap (resources 100 and 101) are used and the names ignored. A failure
// leaves the description fields read so far and the images cut so far.
uint8_t LoadSkin(TKGUI& skin, const std::string& bitmapFileName, const std::string& descriptionFileName,
                 bool useDefault);

// Starts decoding the built-in skin's bitmap on a thread of its own; the
// next load of the built-in skin takes it from there (waiting for it when it
// is not done yet) instead of decoding it itself. Start-up runs it beside the
// creation of the application object and the windows when the built-in skin
// is the configured one.
void PrepareBuiltinSkinBitmap();

// Cuts every element image of the record out of the bitmap (the last step of
// LoadSkin). False, cutting nothing, when the record asks for more than
// kMaxSkinPixels pixels of images or for an image wider or taller than a
// bitmap may be.
bool CutSkinImages(TKGUI& skin, const gdi::Bitmap& bitmap);

// The file part of a package member's name; empty when the name has a ".."
// part or names no file.
std::u16string SkinMemberFilePart(const std::u16string& name);
// A fresh folder under UserPath + "data/temp/" for unpacking a package;
// empty when none can be made. The caller removes it.
std::string MakeSkinTempFolder();

// Why the last load on this thread did not give kSkinLoaded (empty after a
// successful load).
const std::string& LastSkinError();

// Registers the built-in skin's description (100) as a program resource
// unless it is registered already. Its bitmap is read where the program
// keeps it (a megabyte and a half), unless a bitmap resource (101) is
// registered.
void RegisterBuiltinSkinResources();

} // namespace kolvarin
