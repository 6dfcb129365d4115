#include "script/lumocodeimage.h"

#include <stdexcept>

#include "base/bytereader.h"

namespace kolvarin::script {

std::string ShortName(const std::string& name) { return name.size() > 255 ? name.substr(0, 255) : name; }

void TCodeImage::Word(uint16_t w) { ByteWriter(code).U16(w); }

void TCodeImage::DWord(uint32_t d) { ByteWriter(code).U32(d); }

void TCodeImage::Patch32(uint32_t position, uint32_t value)
{
    if (uint64_t{position} + 4 > code.size())
        throw std::out_of_range("TCodeImage::Patch32");
    PutLe32(code.data() + position, value);
}

void TCodeImage::AddPublicFunction(const std::string& name, const std::string& prefix)
{
    publicFunctions.push_back({ShortName(prefix.empty() ? name : prefix + "." + name), Position()});
}

void TCodeImage::AddPublicVariable(const std::string& name, const std::string& prefix)
{
    publicVariables.push_back({ShortName(prefix.empty() ? name : prefix + "." + name), Position()});
}

void TCodeImage::DefineLabel(const std::string& name)
{
    labels.push_back({ShortName(name), static_cast<int32_t>(Position())});
}

void TCodeImage::AddLabelFixup(const std::string& name)
{
    fixups.push_back({FixupKind::Rel32, ShortName(name), Position(), 0});
}

void TCodeImage::AddAbsoluteFixup(const std::string& name, int32_t addend)
{
    fixups.push_back({FixupKind::Absolute, ShortName(name), Position(), addend});
}

void TCodeImage::AddNativeFixup(const std::string& name)
{
    fixups.push_back({FixupKind::NativeRel32, ShortName(name), Position(), 0});
}

void TCodeImage::AddImportFixup(const std::string& name)
{
    fixups.push_back({FixupKind::ImportRel32, ShortName(name), Position(), 0});
}

void TCodeImage::AddSelfFixup() { fixups.push_back({FixupKind::Engine, "", Position(), 0}); }

void TCodeImage::Clear() { *this = TCodeImage(); }

} // namespace kolvarin::script
