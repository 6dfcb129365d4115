#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kolvarin::registry {

// A file-backed stand-in for the registry: keys are paths below a root
// ("HKEY_CURRENT_USER\Software\Kolvarin"), compared without letter case, each
// holding named values (integer, string or binary). The whole store lives in
// one file that Flush() rewrites through a temporary file and a rename.
// Not thread-safe: the main thread owns it.
class TRegistry {
public:
    enum class Root { ClassesRoot, CurrentUser, LocalMachine };

    // Loads the store from fileName; a missing or damaged file gives an empty store.
    explicit TRegistry(std::string fileName);

    bool KeyExists(Root root, const std::string& key) const;
    void CreateKey(Root root, const std::string& key);
    // Removes the key with its values and subkeys; false when it was not there.
    bool DeleteKey(Root root, const std::string& key);
    std::vector<std::string> GetKeyNames(Root root, const std::string& key) const;

    std::optional<int32_t> ReadInteger(Root root, const std::string& key, const std::string& name) const;
    std::optional<std::u16string> ReadString(Root root, const std::string& key, const std::string& name) const;
    std::optional<std::string> ReadBinary(Root root, const std::string& key, const std::string& name) const;
    // Writing creates the key when missing.
    void WriteInteger(Root root, const std::string& key, const std::string& name, int32_t value);
    void WriteString(Root root, const std::string& key, const std::string& name, const std::u16string& value);
    void WriteBinary(Root root, const std::string& key, const std::string& name, const std::string& value);
    bool DeleteValue(Root root, const std::string& key, const std::string& name);
    bool ValueExists(Root root, const std::string& key, const std::string& name) const;

    // Writes the store to its file; false (store unchanged on disk) on failure.
    bool Flush() const;

private:
    struct Value {
        enum class Type : char { Integer = 'I', String = 'S', Binary = 'B' } type;
        std::string data; // UTF-8 for strings, raw bytes otherwise, decimal for integers
    };
    struct Key {
        std::string displayName;
        std::map<std::string, Value> values; // by lower-cased name
        std::map<std::string, std::string> valueNames;
    };

    static std::string DisplayPath(Root root, const std::string& key); // root name + key, '\\' separated
    static std::string Normalize(Root root, const std::string& key); // the same, lower case
    const Value* Find(Root root, const std::string& key, const std::string& name) const;
    Key& Ensure(Root root, const std::string& key);
    void Load();

    std::string fileName_;
    std::map<std::string, Key> keys_; // by normalized path
};

} // namespace kolvarin::registry
