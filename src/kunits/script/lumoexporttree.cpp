#include "script/lumoexporttree.h"

namespace kolvarin::script {

bool TExportTree::Add(std::string_view name, uint32_t value)
{
    if (name.empty())
        return false;
    std::unique_ptr<Node>* level = &root_;
    Node* node = nullptr;
    for (char c : name) {
        std::unique_ptr<Node>* slot = level;
        while (*slot && static_cast<unsigned char>((*slot)->character) < static_cast<unsigned char>(c))
            slot = &(*slot)->nextSibling;
        if (!*slot || (*slot)->character != c) {
            auto fresh = std::make_unique<Node>();
            fresh->character = c;
            fresh->nextSibling = std::move(*slot);
            *slot = std::move(fresh);
        }
        node = slot->get();
        level = &node->firstChild;
    }
    if (node->end)
        return false;
    node->end = true;
    node->value = value;
    return true;
}

bool TExportTree::Find(std::string_view name, uint32_t& value) const
{
    if (name.empty())
        return false;
    const Node* node = nullptr;
    const std::unique_ptr<Node>* level = &root_;
    for (char c : name) {
        const Node* sibling = level->get();
        while (sibling && sibling->character != c)
            sibling = sibling->nextSibling.get();
        if (!sibling)
            return false;
        node = sibling;
        level = &node->firstChild;
    }
    if (!node->end)
        return false;
    value = node->value;
    return true;
}

} // namespace kolvarin::script
