#pragma once
// TExportTree: the character trie in which a library mapped from memory keeps
// its export names. Siblings stand in ascending order of their characters.
// The tree owns its nodes.

#include <cstdint>
#include <memory>
#include <string_view>

namespace kolvarin::script {

class TExportTree {
public:
    // False for an empty name or one already present (its value is kept).
    bool Add(std::string_view name, uint32_t value);
    bool Find(std::string_view name, uint32_t& value) const;

private:
    struct Node {
        char character;
        uint32_t value = 0;
        bool end = false;
        std::unique_ptr<Node> firstChild;
        std::unique_ptr<Node> nextSibling;
    };
    std::unique_ptr<Node> root_;
};

} // namespace kolvarin::script
