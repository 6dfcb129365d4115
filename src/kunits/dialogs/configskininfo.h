#pragma once

#include <string>
#include <vector>

namespace kolvarin {

class TZipHandler;

// The skins the skin page lists: "base[default]", then the packages
// ("*.kskz", named without the extension) of the user's and then the
// program's "data/skins/", then the skin folders of both; each name once.
std::vector<std::string> ListSkinNames();

// The preview lines of a skin's description, found as loading finds it (the
// user's folder first, then the program's; a package before a folder). Of a
// package only the description is unpacked, by its file name, into a fresh
// temporary folder that is removed afterwards; members whose names leave
// the folder are ignored. XML descriptions give the full name, author, web
// and mail lines; line-oriented ones the name, "by " author, web and mail,
// or "No skin information found." when one is empty. A description that
// cannot be read gives "Skin corrupted."; no description gives nothing.
std::vector<std::u16string> ReadSkinInfo(const std::string& name, TZipHandler& zip);

// The language page's names: "english[default]", then every
// "data/languages/*.klang" of the program, without the extension.
std::vector<std::string> ListLanguageNames();

// LanguageFolder() + Name + ".klang".
std::string LanguageFileOf(const std::string& name);
// True when the file parses and has the language file's root element.
bool IsLanguageFileReadable(const std::string& fileName);

} // namespace kolvarin
