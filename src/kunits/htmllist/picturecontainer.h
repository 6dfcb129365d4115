#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "htmllist/htmlpicture.h"

namespace kolvarin {

// A named picture placed by the program.
struct TPictureItem {
    THTMLPicture Picture;
    std::string Name;
    int Tag = 0;
};

// The named pictures of the markup items (IMG SRC="name"); owns its items.
// Main thread only.
class TPictureContainer {
public:
    static constexpr const char* Version = "1.0.0.0";

    // A new item at the end with an empty picture.
    TPictureItem* Add();
    int Count() const { return int(items_.size()); }
    // index must be below Count().
    TPictureItem& Item(int index) const { return *items_[std::size_t(index)]; }
    // Out-of-range indices are ignored.
    void Delete(int index);
    void Clear() { items_.clear(); }

    // The picture of the first item whose name equals name ignoring letter
    // case (Windows-1252), or nullptr.
    THTMLPicture* FindPicture(std::string_view name) const;
    // One animation tick for every picture; true when any changed its frame.
    bool Animate();

private:
    std::vector<std::unique_ptr<TPictureItem>> items_;
};

} // namespace kolvarin
