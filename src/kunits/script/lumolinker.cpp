#include "script/lumolinker.h"

#include <string_view>

#include "base/bytereader.h"

namespace kolvarin::script {

namespace {

// Names by hash, open addressing, one allocation for a whole table; the
// first of equal names counts.
class TNameIndex {
public:
    explicit TNameIndex(const std::vector<std::string_view>& names) : names_(names)
    {
        size_t size = 16;
        while (size < names_.size() * 2)
            size *= 2;
        slots_.assign(size, 0);
        for (size_t i = 0; i < names_.size(); ++i) {
            if (names_[i].empty())
                continue;
            for (size_t slot = Hash(names_[i]) & (size - 1);; slot = (slot + 1) & (size - 1)) {
                if (slots_[slot] == 0) {
                    slots_[slot] = static_cast<uint32_t>(i + 1);
                    break;
                }
                if (names_[slots_[slot] - 1] == names_[i])
                    break;
            }
        }
    }
    // Index of NAME in the table, or -1.
    int64_t Find(std::string_view name) const
    {
        for (size_t slot = Hash(name) & (slots_.size() - 1);; slot = (slot + 1) & (slots_.size() - 1)) {
            if (slots_[slot] == 0)
                return -1;
            if (names_[slots_[slot] - 1] == name)
                return slots_[slot] - 1;
        }
    }

private:
    static size_t Hash(std::string_view text)
    {
        uint64_t h = 14695981039346656037ull;
        for (unsigned char c : text)
            h = (h ^ c) * 1099511628211ull;
        return static_cast<size_t>(h ^ (h >> 29));
    }
    std::vector<std::string_view> names_;
    std::vector<uint32_t> slots_; // name index + 1; 0 = empty
};

const TNativeEntry* FindNative(const std::vector<TNativeEntry>& natives, const std::string& name)
{
    for (const TNativeEntry& n : natives)
        if (n.name == name)
            return &n;
    return nullptr;
}

} // namespace

std::vector<uint8_t> ResolveFixups(const TCodeImage& image, const std::vector<TNativeEntry>& natives, uint32_t base,
                                   uint32_t engine, std::vector<TLumoError>& errors, const TImportResolver& imports)
{
    std::vector<uint8_t> code = image.code;
    std::vector<std::string_view> names;
    for (const TLabel& l : image.labels)
        names.push_back(l.name);
    const TNameIndex labels(names);
    names.clear();
    for (const TNativeEntry& n : natives)
        names.push_back(n.linkName);
    const TNameIndex linked(names);
    auto put = [&code](uint32_t position, uint32_t value) { PutLe32(code.data() + position, value); };
    for (const TFixup& f : image.fixups) {
        if (uint64_t{f.position} + 4 > code.size()) {
            errors.push_back(TLumoError::FixupError);
            continue;
        }
        switch (f.kind) {
        case FixupKind::Engine: put(f.position, engine); break;
        case FixupKind::NativeAbsolute:
        case FixupKind::NativeRel32: {
            const TNativeEntry* n = FindNative(natives, f.target);
            if (!n) {
                errors.push_back(TLumoError::FixupError);
            } else if (!n->address) {
                errors.push_back(TLumoError::NativeIsNull);
            } else {
                put(f.position,
                    f.kind == FixupKind::NativeAbsolute ? n->address : n->address - (f.position + base) - 4);
            }
            break;
        }
        case FixupKind::ImportRel32: {
            std::optional<uint32_t> address = imports ? imports(f.target, false) : std::nullopt;
            if (!address || !*address) {
                errors.push_back(TLumoError::FixupError);
            } else {
                put(f.position, *address - (f.position + base) - 4);
            }
            break;
        }
        default: {
            // Label-style targets: an import or a native by its link name, else a
            // label. An absolute address becomes an offset from the base (wrapping).
            uint32_t target = 0;
            bool found = false;
            if (std::optional<uint32_t> address = imports ? imports(f.target, true) : std::nullopt) {
                if (!*address) {
                    errors.push_back(TLumoError::FixupError);
                    break;
                }
                target = *address - base;
                found = true;
            } else if (int64_t n = linked.Find(f.target); n >= 0 && natives[n].address) {
                target = natives[n].address - base;
                found = true;
            }
            if (int64_t l = found ? -1 : labels.Find(f.target); l >= 0) {
                target = static_cast<uint32_t>(image.labels[l].offset);
                found = true;
            }
            if (!found) {
                errors.push_back(TLumoError::FixupError);
                break;
            }
            const uint32_t addend = static_cast<uint32_t>(f.addend);
            put(f.position, f.kind == FixupKind::Relative   ? target - f.position + addend
                            : f.kind == FixupKind::Absolute ? target + addend + base
                                                            : target - f.position - 4 + addend);
            break;
        }
        }
    }
    return code;
}

} // namespace kolvarin::script
