#include "core/stream/lumostringtree.h"

namespace kolvarin {

int32_t TLumoStringTree::firstChildOf(int32_t parent) const
{
    return parent == kNone ? rootFirst_ : nodes_[static_cast<size_t>(parent)].firstChild;
}

int32_t TLumoStringTree::findChild(int32_t parent, unsigned char c) const
{
    for (int32_t i = firstChildOf(parent); i != kNone; i = nodes_[static_cast<size_t>(i)].next) {
        const unsigned char here = nodes_[static_cast<size_t>(i)].character;
        if (here == c)
            return i;
        if (here > c)
            break;
    }
    return kNone;
}

bool TLumoStringTree::Add(std::string_view key, uint32_t value, bool replace)
{
    if (key.empty())
        return false;
    int32_t parent = kNone;
    for (const char ch : key) {
        const auto c = static_cast<unsigned char>(ch);
        int32_t prev = kNone;
        int32_t cur = firstChildOf(parent);
        while (cur != kNone && nodes_[static_cast<size_t>(cur)].character < c) {
            prev = cur;
            cur = nodes_[static_cast<size_t>(cur)].next;
        }
        if (cur != kNone && nodes_[static_cast<size_t>(cur)].character == c) {
            parent = cur;
            continue;
        }
        Node node;
        node.character = c;
        node.parent = parent;
        node.prev = prev;
        node.next = cur;
        const auto index = static_cast<int32_t>(nodes_.size());
        nodes_.push_back(node);
        if (cur != kNone)
            nodes_[static_cast<size_t>(cur)].prev = index;
        if (prev != kNone)
            nodes_[static_cast<size_t>(prev)].next = index;
        else if (parent == kNone)
            rootFirst_ = index;
        else
            nodes_[static_cast<size_t>(parent)].firstChild = index;
        parent = index;
    }
    Node& last = nodes_[static_cast<size_t>(parent)];
    if (last.hasValue && !replace)
        return false;
    last.value = value;
    last.hasValue = true;
    return true;
}

bool TLumoStringTree::Find(std::string_view key, uint32_t& value) const
{
    if (key.empty())
        return false;
    int32_t cur = kNone;
    for (const char ch : key) {
        cur = findChild(cur, static_cast<unsigned char>(ch));
        if (cur == kNone)
            return false;
    }
    const Node& last = nodes_[static_cast<size_t>(cur)];
    if (!last.hasValue)
        return false;
    value = last.value;
    return true;
}

void TLumoStringTree::Clear()
{
    nodes_.clear();
    rootFirst_ = kNone;
}

} // namespace kolvarin
