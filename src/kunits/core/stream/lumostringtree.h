#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace kolvarin {

// A trie of 8-bit characters mapping strings to 32-bit values. A key is a
// path of nodes from the root; its value sits on the node of its last
// character. Siblings are kept in ascending character order. Not thread
// safe; the tree owns its nodes.
class TLumoStringTree {
public:
    // False for an empty key, and when the key holds a value already and
    // Replace is false (nothing is changed then).
    bool Add(std::string_view key, uint32_t value, bool replace);
    // False for an empty key or a key without a value.
    bool Find(std::string_view key, uint32_t& value) const;
    void Clear();

private:
    static constexpr int32_t kNone = -1;
    struct Node {
        unsigned char character = 0;
        bool hasValue = false;
        uint32_t value = 0;
        int32_t parent = kNone;
        int32_t firstChild = kNone;
        int32_t next = kNone;
        int32_t prev = kNone;
    };

    int32_t findChild(int32_t parent, unsigned char c) const;
    int32_t firstChildOf(int32_t parent) const;

    int32_t rootFirst_ = kNone; // first node of the top level
    std::vector<Node> nodes_; // indices stay valid; nodes are never freed singly
};

} // namespace kolvarin
