#include "script/lumodll.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>

#include "script/lumobytes.h"
#include "script/lumosupport.h"

namespace kolvarin::script {

namespace {

constexpr uint32_t kMaxImageSize = 16u << 20;
constexpr uint32_t kMaxFileSize = 64u << 20;
constexpr uint32_t kPage = 4096;
constexpr int kMaxNesting = 4;
constexpr uint32_t kMaxSections = 96; // as many as the system's own loader takes
constexpr size_t kMaxNameLength = 4096;

enum Directory { kExportDirectory = 0, kImportDirectory = 1, kRelocationDirectory = 5 };

uint32_t RoundUp(uint64_t v, uint32_t to) { return uint32_t((v + to - 1) / to * to); }

} // namespace

struct TDynamicLinkLibrary::Image {
    struct Section {
        uint32_t virtualAddress, virtualSize, rawSize, rawPointer, characteristics;
    };
    std::vector<uint8_t> memory; // the image as it will stand in the emulated space
    uint32_t preferredBase = 0;
    uint32_t entry = 0;
    uint32_t headerSize = 0;
    bool relocationsStripped = false;
    std::array<std::pair<uint32_t, uint32_t>, 16> directories{}; // (rva, size)
    std::vector<Section> sections;

    bool Holds(uint64_t rva, uint64_t size) const { return rva + size <= memory.size(); }
    uint32_t U32(uint32_t rva) const { return Le32(&memory[rva]); }
    std::optional<std::string> Text(uint32_t rva) const
    {
        std::string text;
        for (uint64_t at = rva; at < memory.size() && text.size() < kMaxNameLength; ++at) {
            if (!memory[at])
                return text;
            text.push_back(char(memory[at]));
        }
        return std::nullopt;
    }
    // Section spans (start, end) by start, for InSection.
    std::vector<std::pair<uint64_t, uint64_t>> spans;
    void IndexSections()
    {
        for (const Section& s : sections)
            spans.emplace_back(s.virtualAddress, uint64_t(s.virtualAddress) + std::max(s.virtualSize, s.rawSize));
        std::sort(spans.begin(), spans.end());
        // A span's end becomes the furthest end so far, so one search answers.
        for (size_t k = 1; k < spans.size(); ++k)
            spans[k].second = std::max(spans[k].second, spans[k - 1].second);
    }
    bool InSection(uint32_t rva, uint32_t size) const
    {
        auto it = std::upper_bound(spans.begin(), spans.end(), std::make_pair(uint64_t(rva), UINT64_MAX));
        return it != spans.begin() && uint64_t(rva) + size <= std::prev(it)->second;
    }
};

TDynamicLinkLibrary::TDynamicLinkLibrary(execmem::ExecSpace& space, std::string fileName)
    : space_(space), fileName_(std::move(fileName))
{}

TDynamicLinkLibrary::~TDynamicLinkLibrary()
{
    if (attached_) {
        const uint32_t args[] = {0, 0, imageBase_}; // reserved, process detach, instance
        space_.Call(entryPoint_, args, execmem::ResultKind::Int);
    }
    if (imageBase_)
        space_.UnmapLibrary(imageBase_);
}

bool TDynamicLinkLibrary::Fail(TDllError error)
{
    error_ = error;
    return false;
}

bool TDynamicLinkLibrary::LoadLibrary(const std::string& fileName)
{
    fileName_ = fileName;
    std::vector<uint8_t> file;
    if (!ReadFileBytes(fileName, kMaxFileSize, file))
        return Fail(TDllError::ReadFailed);
    return LoadFromStream(file);
}

bool TDynamicLinkLibrary::LoadFromStream(std::span<const uint8_t> file)
{
    if (loaded_)
        return Fail(TDllError::BadLayout);
    loaded_ = true;
    // 1. Headers, all checked before any memory is taken.
    if (file.size() < 64 || file[0] != 'M' || file[1] != 'Z')
        return Fail(TDllError::BadDosHeader);
    uint64_t pe = Le32(&file[0x3C]);
    if (pe + 24 > file.size())
        return Fail(TDllError::BadDosHeader);
    if (Le32(&file[pe]) != 0x00004550)
        return Fail(TDllError::BadPeHeader);
    const uint8_t* fh = &file[pe + 4];
    if (Le16(fh) != 0x14C)
        return Fail(TDllError::BadMachine);
    uint32_t sectionCount = Le16(fh + 2);
    uint32_t optionalSize = Le16(fh + 16);
    const bool relocationsStripped = Le16(fh + 18) & 0x0001;
    uint64_t optional = pe + 24;
    if (optionalSize < 96 || optional + optionalSize > file.size())
        return Fail(TDllError::BadPeHeader);
    const uint8_t* oh = &file[optional];
    if (Le16(oh) != 0x10B)
        return Fail(TDllError::BadMachine);

    Image image;
    image.relocationsStripped = relocationsStripped;
    image.entry = Le32(oh + 16);
    image.preferredBase = Le32(oh + 28);
    uint32_t imageSize = Le32(oh + 56);
    image.headerSize = Le32(oh + 60);
    uint32_t directoryCount = std::min<uint32_t>(Le32(oh + 92), (optionalSize - 96) / 8);
    for (uint32_t d = 0; d < std::min<uint32_t>(directoryCount, 16); ++d)
        image.directories[d] = {Le32(oh + 96 + 8 * d), Le32(oh + 100 + 8 * d)};

    // 2. Layout.
    uint64_t table = optional + optionalSize;
    if (sectionCount == 0 || sectionCount > kMaxSections || table + 40ull * sectionCount > file.size())
        return Fail(TDllError::BadLayout);
    if (imageSize == 0 || imageSize > kMaxImageSize || image.headerSize > imageSize || image.headerSize > file.size() ||
        image.entry >= imageSize)
        return Fail(TDllError::BadLayout);
    for (uint32_t k = 0; k < sectionCount; ++k) {
        const uint8_t* s = &file[table + 40 * k];
        Image::Section section{Le32(s + 12), Le32(s + 8), Le32(s + 16), Le32(s + 20), Le32(s + 36)};
        uint64_t span = std::max(section.virtualSize, section.rawSize);
        if (uint64_t(section.virtualAddress) + span > imageSize)
            return Fail(TDllError::BadLayout);
        if (section.rawPointer && uint64_t(section.rawPointer) + section.rawSize > file.size())
            return Fail(TDllError::BadLayout);
        image.sections.push_back(section);
    }
    image.IndexSections();
    image.memory.assign(imageSize, 0);
    std::copy_n(file.begin(), image.headerSize, image.memory.begin());
    // 3. Sections, in table order: a later section overwrites an overlapping earlier one.
    for (const auto& s : image.sections)
        if (s.rawPointer)
            std::copy_n(file.begin() + s.rawPointer, s.rawSize, image.memory.begin() + s.virtualAddress);
    return Map(image);
}

bool TDynamicLinkLibrary::Map(Image& image)
{
    imageSize_ = uint32_t(image.memory.size());
    imageBase_ = space_.MapLibrary(imageSize_);
    if (!imageBase_)
        return Fail(TDllError::NoMemory);
    delta_ = int32_t(imageBase_ - image.preferredBase);
    for (const auto& s : image.sections)
        sections_.push_back(
            {imageBase_ + s.virtualAddress, s.virtualAddress, std::max(s.virtualSize, s.rawSize), s.characteristics});
    if (!Relocate(image) || !ResolveImports(image))
        return false;
    space_.Write(imageBase_, image.memory.data(), image.memory.size());
    space_.CodeChanged(imageBase_, image.memory.size());
    Protect(image.headerSize);
    if (image.entry) {
        entryPoint_ = imageBase_ + image.entry;
        if (!Attach())
            return false;
    }
    return ReadExports(image);
}

bool TDynamicLinkLibrary::Relocate(Image& image)
{
    auto [rva, size] = image.directories[kRelocationDirectory];
    // An image without relocations runs only at its preferred base.
    if (image.relocationsStripped && delta_ != 0)
        return Fail(TDllError::BadRelocation);
    if (!size)
        return true;
    if (!image.Holds(rva, size))
        return Fail(TDllError::BadRelocation);
    const uint32_t delta = uint32_t(delta_);
    for (uint32_t at = 0; size - at >= 8;) {
        uint32_t page = image.U32(rva + at);
        uint32_t blockSize = image.U32(rva + at + 4);
        if (blockSize < 8 || blockSize > size - at)
            return Fail(TDllError::BadRelocation);
        for (uint32_t e = 8; e + 2 <= blockSize; e += 2) {
            uint16_t entry = Le16(&image.memory[rva + at + e]);
            int type = entry >> 12;
            uint32_t target = page + (entry & 0xFFF);
            if (type != 1 && type != 2 && type != 3)
                continue;
            uint32_t width = type == 3 ? 4 : 2;
            if (target < page || !image.InSection(target, width))
                return Fail(TDllError::BadRelocation);
            uint8_t* p = &image.memory[target];
            if (type == 3)
                PutLe32(p, Le32(p) + delta);
            else {
                uint16_t add = type == 2 ? uint16_t(delta) : uint16_t(delta >> 16);
                PutLe16(p, uint16_t(Le16(p) + add));
            }
        }
        at += blockSize;
    }
    return true;
}

bool TDynamicLinkLibrary::ResolveImports(Image& image)
{
    auto [rva, size] = image.directories[kImportDirectory];
    if (!size)
        return true;
    for (uint64_t d = rva;; d += 20) {
        if (!image.Holds(d, 20))
            return Fail(TDllError::BadImport);
        uint32_t lookup = image.U32(uint32_t(d)), nameRva = image.U32(uint32_t(d) + 12),
                 addresses = image.U32(uint32_t(d) + 16);
        if (!nameRva)
            return true;
        auto libraryName = image.Text(nameRva);
        if (!libraryName || !addresses)
            return Fail(TDllError::BadImport);
        TDLLImport import{*libraryName, {}};
        TDynamicLinkLibrary* library = External(*libraryName);
        if (!library)
            return Fail(TDllError::ImportFailed);
        // The lookup table keeps the original entries when the address table was bound.
        uint32_t entries = lookup ? lookup : addresses;
        for (uint64_t k = 0;; ++k) {
            if (!image.Holds(entries + 4 * k, 4) || !image.Holds(addresses + 4 * k, 4))
                return Fail(TDllError::BadImport);
            uint32_t entry = image.U32(uint32_t(entries + 4 * k));
            if (!entry)
                break;
            TDLLFunctionImport function{(entry & 0x80000000u) != 0, entry & 0xFFFF, {}, 0};
            if (!function.byOrdinal) {
                auto name = image.Text(entry + 2);
                if (!name)
                    return Fail(TDllError::BadImport);
                function.name = *name;
            }
            std::string key = function.name;
            if (function.byOrdinal)
                key.append("#").append(std::to_string(function.ordinal));
            function.address = library->GetProcAddress(key);
            if (!function.address)
                return Fail(TDllError::ImportFailed);
            PutLe32(&image.memory[addresses + 4 * k], function.address);
            import.functions.push_back(std::move(function));
        }
        imports_.push_back(std::move(import));
    }
}

void TDynamicLinkLibrary::Protect(uint32_t headerSize)
{
    // Whole pages only: a section that does not start on a page keeps full
    // rights, and the headers stay writable when a section shares their page.
    uint32_t headerPages = RoundUp(headerSize, kPage);
    if (headerPages && std::none_of(sections_.begin(), sections_.end(),
                                    [&](const TSections& s) { return s.virtualAddress < headerPages; }))
        space_.Protect(imageBase_, headerPages, true, false, false);
    for (const auto& s : sections_) {
        if (s.virtualAddress % kPage || !s.size)
            continue;
        bool execute = s.characteristics & (1u << 29), read = s.characteristics & (1u << 30),
             write = s.characteristics & (1u << 31);
        // Write-copy pages are readable; the emulator has no caching modes.
        space_.Protect(s.address, RoundUp(s.size, kPage), read || write, write, execute);
    }
}

bool TDynamicLinkLibrary::Attach()
{
    const uint32_t args[] = {0, 1, imageBase_}; // reserved, process attach, instance
    auto result = space_.Call(entryPoint_, args, execmem::ResultKind::Int);
    if (!result.ok || result.value == 0)
        return Fail(TDllError::EntryFailed);
    attached_ = true;
    return true;
}

bool TDynamicLinkLibrary::ReadExports(const Image& image)
{
    auto [rva, size] = image.directories[kExportDirectory];
    if (!size)
        return true;
    if (!image.Holds(rva, 40))
        return Fail(TDllError::BadExport);
    uint32_t ordinalBase = image.U32(rva + 16), functionCount = image.U32(rva + 20), nameCount = image.U32(rva + 24),
             functions = image.U32(rva + 28), names = image.U32(rva + 32), ordinals = image.U32(rva + 36);
    if (!image.Holds(functions, 4ull * functionCount) || !image.Holds(names, 4ull * nameCount) ||
        !image.Holds(ordinals, 2ull * nameCount))
        return Fail(TDllError::BadExport);
    std::vector<std::string> exportNames;
    std::vector<int32_t> nameOf(functionCount, -1); // index into exportNames
    for (uint32_t k = 0; k < nameCount; ++k) {
        uint16_t index = Le16(&image.memory[ordinals + 2 * k]);
        auto name = image.Text(image.U32(names + 4 * k));
        if (index >= functionCount || !name)
            return Fail(TDllError::BadExport);
        nameOf[index] = int32_t(exportNames.size());
        exportNames.push_back(std::move(*name));
    }
    std::vector<std::pair<size_t, std::string>> forwarders;
    for (uint32_t index = 0; index < functionCount; ++index) {
        uint32_t target = image.U32(functions + 4 * index);
        if (!target)
            continue;
        if (target >= image.memory.size())
            return Fail(TDllError::BadExport);
        TDLLFunctionExport record{nameOf[index] < 0 ? std::string() : exportNames[nameOf[index]], ordinalBase + index,
                                  imageBase_ + target};
        if (target >= rva && uint64_t(target) < uint64_t(rva) + size) {
            auto text = image.Text(target);
            if (!text)
                return Fail(TDllError::BadExport);
            record.address = 0;
            forwarders.emplace_back(exports_.size(), *text);
        }
        exports_.push_back(std::move(record));
    }
    exportTree_ = std::make_unique<TExportTree>();
    for (const auto& e : exports_)
        if (e.address && !e.name.empty())
            exportTree_->Add(e.name, e.address);
    for (const auto& [index, text] : forwarders) {
        exports_[index].address = ResolveForwarder(text);
        if (exports_[index].address && !exports_[index].name.empty())
            exportTree_->Add(exports_[index].name, exports_[index].address);
    }
    return true;
}

uint32_t TDynamicLinkLibrary::ResolveForwarder(const std::string& text)
{
    size_t point = text.find('.');
    if (point == std::string::npos || point == 0 || point + 1 == text.size())
        return 0;
    std::string library = text.substr(0, point), function = text.substr(point + 1);
    std::string own = ExtractFileName(fileName_);
    own = own.substr(0, own.size() - ExtractFileExt(own).size());
    if (LowerCase(library) == LowerCase(own))
        return GetProcAddress(function);
    TDynamicLinkLibrary* target = External(library + ".dll");
    return target ? target->GetProcAddress(function) : 0;
}

TDynamicLinkLibrary* TDynamicLinkLibrary::External(const std::string& libraryName)
{
    for (auto& library : externalLibraries_)
        if (LowerCase(ExtractFileName(library->FileName())) == LowerCase(libraryName))
            return library.get();
    if (depth_ >= kMaxNesting || libraryName.find('/') != std::string::npos)
        return nullptr;
    size_t slash = fileName_.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : fileName_.substr(0, slash + 1);
    for (const std::string& candidate : {libraryName, LowerCase(libraryName)}) {
        if (!FileExists(folder + candidate))
            continue;
        auto library = std::make_unique<TDynamicLinkLibrary>(space_, folder + candidate);
        library->depth_ = depth_ + 1;
        if (!library->LoadLibrary(folder + candidate))
            return nullptr;
        externalLibraries_.push_back(std::move(library));
        return externalLibraries_.back().get();
    }
    return nullptr;
}

uint32_t TDynamicLinkLibrary::GetProcAddress(std::string_view name) const
{
    if (name.size() > 1 && name[0] == '#') {
        uint32_t ordinal = 0;
        for (char c : name.substr(1)) {
            if (c < '0' || c > '9' || ordinal > 0xFFFF)
                return 0;
            ordinal = ordinal * 10 + uint32_t(c - '0');
        }
        for (const auto& e : exports_)
            if (e.ordinal == ordinal)
                return e.address;
        return 0;
    }
    uint32_t value = 0;
    if (exportTree_)
        return exportTree_->Find(name, value) ? value : 0;
    for (const auto& e : exports_)
        if (e.name == name)
            return e.address;
    return 0;
}

} // namespace kolvarin::script
