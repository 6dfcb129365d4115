#include "registry/registry.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "base/hexdigit.h"
#include "codepage/codepage.h"

namespace kolvarin::registry {

namespace {

// One line per key ("K <hex path>") and per value ("I|S|B <hex name> <hex data>"):
// hex keeps any byte safe in a line-oriented file; "-" stands for an empty
// field (the default value's name, an empty string), which would otherwise
// vanish between the blanks.
constexpr const char* kMagic = "KOLVARIN-REGISTRY 1";

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return text;
}

std::string ToHex(const std::string& bytes)
{
    static constexpr char digits[] = "0123456789abcdef";
    if (bytes.empty())
        return "-";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::optional<std::string> FromHex(const std::string& hex)
{
    if (hex == "-")
        return std::string();
    if (hex.empty() || hex.size() % 2)
        return std::nullopt;
    std::string out;
    for (size_t i = 0; i < hex.size(); i += 2) {
        int hi = HexDigitValue(hex[i]), lo = HexDigitValue(hex[i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
    }
    return out;
}

} // namespace

TRegistry::TRegistry(std::string fileName) : fileName_(std::move(fileName)) { Load(); }

std::string TRegistry::Normalize(Root root, const std::string& key) { return Lower(DisplayPath(root, key)); }

std::string TRegistry::DisplayPath(Root root, const std::string& key)
{
    static constexpr const char* roots[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"};
    std::string path = key;
    std::replace(path.begin(), path.end(), '/', '\\');
    while (!path.empty() && path.front() == '\\')
        path.erase(0, 1);
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    return std::string(roots[static_cast<int>(root)]) + (path.empty() ? "" : "\\" + path);
}

void TRegistry::Load()
{
    std::ifstream in(fileName_, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != kMagic)
        return;
    std::map<std::string, Key> keys;
    Key* current = nullptr;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string type, first, second;
        fields >> type >> first;
        auto name = FromHex(first);
        if (!name)
            return; // damaged: keep nothing rather than half a store
        if (type == "K") {
            current = &keys[Lower(*name)];
            current->displayName = *name;
            continue;
        }
        fields >> second;
        auto data = FromHex(second);
        if (!current || !data || type.size() != 1 || std::string("ISB").find(type[0]) == std::string::npos)
            return;
        current->values[Lower(*name)] = Value{static_cast<Value::Type>(type[0]), *data};
        current->valueNames[Lower(*name)] = *name;
    }
    keys_ = std::move(keys);
}

bool TRegistry::Flush() const
{
    std::ostringstream out;
    out << kMagic << '\n';
    for (const auto& [path, key] : keys_) {
        out << "K " << ToHex(key.displayName) << '\n';
        for (const auto& [lower, value] : key.values)
            out << static_cast<char>(value.type) << ' ' << ToHex(key.valueNames.at(lower)) << ' ' << ToHex(value.data)
                << '\n';
    }
    const std::string temp = fileName_ + ".tmp";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        const std::string bytes = out.str();
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.flush();
        if (!file) {
            std::remove(temp.c_str());
            return false;
        }
    }
    return std::rename(temp.c_str(), fileName_.c_str()) == 0;
}

bool TRegistry::KeyExists(Root root, const std::string& key) const { return keys_.count(Normalize(root, key)) != 0; }

TRegistry::Key& TRegistry::Ensure(Root root, const std::string& key)
{
    const std::string shown = DisplayPath(root, key);
    const std::string path = Lower(shown);
    // Parents exist whenever a child does, as in the registry.
    for (size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1)) {
        Key& parent = keys_[path.substr(0, at)];
        if (parent.displayName.empty())
            parent.displayName = shown.substr(0, at);
    }
    Key& k = keys_[path];
    if (k.displayName.empty())
        k.displayName = shown;
    return k;
}

void TRegistry::CreateKey(Root root, const std::string& key) { Ensure(root, key); }

bool TRegistry::DeleteKey(Root root, const std::string& key)
{
    const std::string path = Normalize(root, key);
    if (!keys_.erase(path))
        return false;
    const std::string prefix = path + "\\";
    for (auto it = keys_.lower_bound(prefix); it != keys_.end() && it->first.rfind(prefix, 0) == 0;)
        it = keys_.erase(it);
    return true;
}

std::vector<std::string> TRegistry::GetKeyNames(Root root, const std::string& key) const
{
    const std::string prefix = Normalize(root, key) + "\\";
    std::vector<std::string> names;
    for (auto it = keys_.lower_bound(prefix); it != keys_.end() && it->first.rfind(prefix, 0) == 0; ++it) {
        std::string rest = it->first.substr(prefix.size());
        if (rest.find('\\') == std::string::npos)
            names.push_back(it->second.displayName.substr(prefix.size()));
    }
    return names;
}

const TRegistry::Value* TRegistry::Find(Root root, const std::string& key, const std::string& name) const
{
    auto k = keys_.find(Normalize(root, key));
    if (k == keys_.end())
        return nullptr;
    auto v = k->second.values.find(Lower(name));
    return v == k->second.values.end() ? nullptr : &v->second;
}

std::optional<int32_t> TRegistry::ReadInteger(Root root, const std::string& key, const std::string& name) const
{
    const Value* v = Find(root, key, name);
    if (!v || v->type != Value::Type::Integer)
        return std::nullopt;
    try {
        return static_cast<int32_t>(std::stol(v->data));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<std::u16string> TRegistry::ReadString(Root root, const std::string& key, const std::string& name) const
{
    const Value* v = Find(root, key, name);
    if (!v || v->type != Value::Type::String)
        return std::nullopt;
    return codepage::LeBytesToUtf16(v->data);
}

std::optional<std::string> TRegistry::ReadBinary(Root root, const std::string& key, const std::string& name) const
{
    const Value* v = Find(root, key, name);
    if (!v || v->type != Value::Type::Binary)
        return std::nullopt;
    return v->data;
}

void TRegistry::WriteInteger(Root root, const std::string& key, const std::string& name, int32_t value)
{
    Key& k = Ensure(root, key);
    k.values[Lower(name)] = Value{Value::Type::Integer, std::to_string(value)};
    k.valueNames[Lower(name)] = name;
}

void TRegistry::WriteString(Root root, const std::string& key, const std::string& name, const std::u16string& value)
{
    Key& k = Ensure(root, key);
    k.values[Lower(name)] = Value{Value::Type::String, codepage::Utf16ToLeBytes(value)};
    k.valueNames[Lower(name)] = name;
}

void TRegistry::WriteBinary(Root root, const std::string& key, const std::string& name, const std::string& value)
{
    Key& k = Ensure(root, key);
    k.values[Lower(name)] = Value{Value::Type::Binary, value};
    k.valueNames[Lower(name)] = name;
}

bool TRegistry::DeleteValue(Root root, const std::string& key, const std::string& name)
{
    auto k = keys_.find(Normalize(root, key));
    if (k == keys_.end())
        return false;
    k->second.valueNames.erase(Lower(name));
    return k->second.values.erase(Lower(name)) != 0;
}

bool TRegistry::ValueExists(Root root, const std::string& key, const std::string& name) const
{
    return Find(root, key, name) != nullptr;
}

} // namespace kolvarin::registry
