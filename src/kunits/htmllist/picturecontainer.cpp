#include "htmllist/picturecontainer.h"

#include "codepage/codepage.h"

namespace kolvarin {

using codepage::AnsiLowerCase;

TPictureItem* TPictureContainer::Add()
{
    items_.push_back(std::make_unique<TPictureItem>());
    return items_.back().get();
}

void TPictureContainer::Delete(int index)
{
    if (index >= 0 && index < Count())
        items_.erase(items_.begin() + index);
}

THTMLPicture* TPictureContainer::FindPicture(std::string_view name) const
{
    const std::string wanted = AnsiLowerCase(name);
    for (const auto& item : items_)
        if (AnsiLowerCase(item->Name) == wanted)
            return &item->Picture;
    return nullptr;
}

bool TPictureContainer::Animate()
{
    bool changed = false;
    for (const auto& item : items_)
        changed = item->Picture.Step() || changed;
    return changed;
}

} // namespace kolvarin
