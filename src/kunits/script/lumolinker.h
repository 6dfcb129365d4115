#pragma once
// Resolving the fix-ups of a code image for the address it is placed at.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "script/lumocodeimage.h"
#include "script/lumoerrors.h"

namespace kolvarin::script {

struct TNativeEntry {
    std::string name;
    std::string linkName; // the code name of the script's declaration
    uint32_t address; // emulated address of the host stub; 0 = nil
};

struct TImportEntry {
    std::string name;
    std::string linkName;
    std::string libraryName;
    std::string exportName;
};

// Finds the import named TARGET (by its link name for label-style fix-ups):
// nothing when no import has that name, 0 when its library or export cannot
// be had, else the function's address.
using TImportResolver = std::function<std::optional<uint32_t>(const std::string& target, bool byLinkName)>;

// Returns the image's code with every fix-up resolved for BASE. Each fix-up
// that cannot be resolved leaves its placeholder and adds its error code
// (29 target not found, 26 native with a nil address) to ERRORS. Without a
// resolver no import resolves.
std::vector<uint8_t> ResolveFixups(const TCodeImage& image, const std::vector<TNativeEntry>& natives, uint32_t base,
                                   uint32_t engine, std::vector<TLumoError>& errors,
                                   const TImportResolver& imports = {});

} // namespace kolvarin::script
