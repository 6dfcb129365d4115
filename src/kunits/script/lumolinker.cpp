#include "script/lumolinker.h"

#include <unordered_map>

namespace kolvarin::script {

namespace {

const TNativeEntry* FindNative(const std::vector<TNativeEntry>& natives, const std::string& name) {
  for (const TNativeEntry& n : natives)
    if (n.name == name) return &n;
  return nullptr;
}

}  // namespace

std::vector<uint8_t> ResolveFixups(const TCodeImage& image, const std::vector<TNativeEntry>& natives, uint32_t base,
                                   uint32_t engine, std::vector<int>& errors) {
  std::vector<uint8_t> code = image.code;
  // The first definition of a name counts.
  std::unordered_map<std::string, uint32_t> labels;
  labels.reserve(image.labels.size());
  for (const TLabel& l : image.labels) labels.emplace(l.name, static_cast<uint32_t>(l.offset));
  std::unordered_map<std::string, const TNativeEntry*> linked;
  for (const TNativeEntry& n : natives)
    if (!n.linkName.empty()) linked.emplace(n.linkName, &n);
  auto put = [&code](uint32_t position, uint32_t value) {
    for (int i = 0; i < 4; ++i) code[position + i] = static_cast<uint8_t>(value >> (8 * i));
  };
  for (const TFixup& f : image.fixups) {
    if (uint64_t{f.position} + 4 > code.size()) {
      errors.push_back(29);
      continue;
    }
    switch (f.kind) {
      case FixupKind::Engine: put(f.position, engine); break;
      case FixupKind::NativeAbsolute:
      case FixupKind::NativeRel32: {
        const TNativeEntry* n = FindNative(natives, f.target);
        if (!n) {
          errors.push_back(29);
        } else if (!n->address) {
          errors.push_back(26);
        } else {
          put(f.position, f.kind == FixupKind::NativeAbsolute ? n->address : n->address - (f.position + base) - 4);
        }
        break;
      }
      case FixupKind::ImportRel32: errors.push_back(29); break;
      default: {
        // Label-style targets: a native by its link name, else a label. An
        // absolute address becomes an offset from the base (wrapping).
        uint32_t target = 0;
        bool found = false;
        if (auto n = linked.find(f.target); n != linked.end() && n->second->address) {
          target = n->second->address - base;
          found = true;
        }
        if (auto l = labels.find(f.target); !found && l != labels.end()) {
          target = l->second;
          found = true;
        }
        if (!found) {
          errors.push_back(29);
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

}  // namespace kolvarin::script
