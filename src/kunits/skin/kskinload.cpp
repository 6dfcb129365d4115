#include "skin/kskinload.h"

#include <cstdlib>
#include <filesystem>
#include <future>
#include <limits>
#include <mutex>
#include <optional>
#include <span>

#include "base/threadsafety.h"
#include "core/desktop/kbitmaps.h"
#include "core/settings/kconfig.h"
#include "core/stream/kresources.h"
#include "core/system/kpaths.h"
#include "core/text/kstrings.h"
#include "gdi/bmpcodec.h"
#include "skin/kgui_p.h"
#include "skin/kskinbuiltin.h"
#include "skin/kskinkskn.h"
#include "skin/kskinxml.h"
#include "zip/ziphandler.h"
#include "zip/zmmessages.h"

namespace kolvarin {

namespace fs = std::filesystem;

namespace {

constexpr int32_t kDescriptionResource = 100;
constexpr int32_t kBitmapResource = 101;

thread_local std::string lastError;

uint8_t Fail(uint8_t code, std::string text)
{
    lastError = std::move(text);
    return code;
}

std::string LowerExtension(const std::string& name)
{
    std::string ext = fs::path(name).extension().string();
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return ext;
}

bool IsFile(const std::string& name)
{
    std::error_code ec;
    return !name.empty() && fs::is_regular_file(name, ec);
}

bool IsFolder(const std::string& name)
{
    std::error_code ec;
    return fs::is_directory(name, ec);
}

// The pixels the stacked and single images of the record will take, in 64
// bits; a negative side counts as 0, a side beyond what a bitmap may have
// gives the largest number.
int64_t CutPixels(const TKGUI& skin)
{
    // A side no bitmap may have makes the whole record too large.
    bool tooLarge = false;
    auto area = [&](int64_t w, int64_t h) {
        tooLarge = tooLarge || w > gdi::Bitmap::MaxSide || h > gdi::Bitmap::MaxSide;
        return std::max<int64_t>(w, 0) * std::max<int64_t>(h, 0);
    };
    auto size = [&](const TKSSize& s, int count = 1) { return area(s.Width, s.Height) * count; };
    int64_t total = 0;
    VisitElements(skin, Overloaded{
                            [&](const TKSForm& e) { total += size(e.Size); },
                            [&](const TKSCaptionBar& e) { total += size(e.Size, 2); },
                            [&](const TKSButton& e) { total += size(e.Size, 4); },
                            [&](const TKSBar& e) { total += size(e.Size, 2); },
                            [&](const TKSSeekBar& e) { total += size(e.BarSize, 2) + size(e.BgSize); },
                            [&](const TKSImage& e) { total += size(e.Size); },
                            [&](const TKSAnalyzer& e) { total += size(e.Size); },
                            [&](const TKSScrollLabel& e) { total += size(e.Size); },
                            [&](const TKSTime& e) {
                                for (const TKSRect& c : e.Chars)
                                    total += area(c.Width, c.Height);
                                if (e.UseBg)
                                    total += size(e.BgSize);
                            },
                            [&](const TKSResizeForm& e) {
                                for (const TKSRect& c : e.Edges)
                                    total += area(c.Width, c.Height);
                                total += size(e.Size);
                            },
                            [&](const TKSScrollBar& e) { total += size(e.Size, 2); },
                            [&](const TKSStatusBar& e) { total += size(e.Size); },
                            [&](const TKSFileTypeIcons& e) { total += size(e.Size, 7); },
                        });
    return tooLarge ? std::numeric_limits<int64_t>::max() : total;
}

class Cutter {
public:
    explicit Cutter(const gdi::Bitmap& source) : source_(source) {}

    void Cut(gdi::Bitmap& dest, TKSPoint pos, TKSSize size) const
    {
        CutBitmapRect(source_, dest, pos.X, pos.Y, std::max(size.Width, 0), std::max(size.Height, 0));
    }
    void Cut(gdi::Bitmap& dest, const TKSRect& rect) const { Cut(dest, {rect.X, rect.Y}, {rect.Width, rect.Height}); }

    // Image i of a stack lies at SkinPos.Y + i x (Height + Border).
    template <size_t N>
    void CutStack(std::array<gdi::Bitmap, N>& images, TKSPoint pos, TKSSize size, uint8_t border) const
    {
        for (size_t i = 0; i < N; ++i) {
            const int64_t y = pos.Y + int64_t(i) * (int64_t(size.Height) + border);
            Cut(images[i], {pos.X, ClampToInt32(y)}, size);
        }
    }

    void operator()(TKSForm& e) const { Cut(e.Bitmap, e.SkinPos, e.Size); }
    void operator()(TKSCaptionBar& e) const { CutStack(e.Bitmaps, e.SkinPos, e.Size, e.SkinBorder); }
    void operator()(TKSButton& e) const { CutStack(e.Bitmaps, e.SkinPos, e.Size, e.SkinBorder); }
    void operator()(TKSBar& e) const { CutStack(e.Bitmaps, e.SkinPos, e.Size, e.SkinBorder); }
    void operator()(TKSSeekBar& e) const
    {
        CutStack(e.BarBitmaps, e.BarSkinPos, e.BarSize, e.BarSkinBorder);
        Cut(e.BgBitmap, e.BgSkinPos, e.BgSize);
    }
    void operator()(TKSImage& e) const { Cut(e.Bitmap, e.SkinPos, e.Size); }
    void operator()(TKSAnalyzer& e) const { Cut(e.Bitmap, e.SkinPos, e.Size); }
    void operator()(TKSScrollLabel& e) const
    {
        e.Buffer.setPixelFormat(gdi::PixelFormat::Bits24);
        e.Buffer.setSize(e.Size.Width, e.Size.Height);
    }
    void operator()(TKSTime& e) const
    {
        for (int i = 0; i < tcCount; ++i)
            Cut(e.CharBitmaps[i], e.Chars[i]);
        if (e.UseBg)
            Cut(e.BgBitmap, e.BgSkinPos, e.BgSize);
    }
    void operator()(TKSResizeForm& e) const
    {
        for (int k = 0; k < eCount; ++k)
            Cut(e.EdgeBitmaps[k], e.Edges[k]);
        e.Background.setSize(e.Size.Width, e.Size.Height);
    }
    void operator()(TKSScrollBar& e) const { CutStack(e.Bitmaps, e.SkinPos, e.Size, e.SkinBorder); }
    void operator()(TKSStatusBar& e) const { Cut(e.Bitmap, e.SkinPos, e.Size); }
    void operator()(TKSFileTypeIcons& e) const { CutStack(e.Bitmaps, e.SkinPos, e.Size, e.SkinBorder); }

private:
    const gdi::Bitmap& source_;
};

// Reads the description named by the extension into the record.
uint8_t ReadDescription(TKGUI& skin, const std::string& fileName, bool useDefault)
{
    TKSkinReadResult read;
    if (useDefault) {
        RegisterBuiltinSkinResources();
        const std::unique_ptr<TLumoStream> stream = LoadResourceStream(kDescriptionResource);
        if (!stream)
            return Fail(kSkinLoadError, "the built-in skin description is missing");
        read = ReadSkinXml(skin, *stream);
    } else {
        const std::string ext = LowerExtension(fileName);
        if (ext == ".kskn")
            read = ReadSkinKskn(skin, fileName);
        else if (ext == ".xml")
            read = LoadSkinXmlFromFile(skin, fileName);
        else
            return Fail(kSkinBadDescription, "the description " + fileName + " is neither .kskn nor .xml");
    }
    if (!read.Usable())
        return Fail(kSkinLoadError, read.Text);
    return kSkinLoaded;
}

gdi::BmpResult ReadBuiltinBitmap(gdi::Bitmap& bitmap)
{
    gdi::BmpResult result;
    const auto read = [&](std::string_view bytes) {
        result = gdi::ReadBmp({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, bitmap);
    };
    if (!ReadResource(kBitmapResource, read))
        read(BuiltinSkinBitmap());
    return result;
}

// The built-in bitmap that PrepareBuiltinSkinBitmap decodes (or has
// decoded), for the next load of the built-in skin.
// preparedLock guards it; taken alone.
Mutex preparedLock;
std::future<std::optional<gdi::Bitmap>> prepared GUARDED_BY(preparedLock);

bool TakePreparedBitmap(gdi::Bitmap& bitmap)
{
    MutexLock lock(preparedLock);
    if (!prepared.valid())
        return false;
    std::optional<gdi::Bitmap> decoded = prepared.get();
    lock.Unlock();
    if (!decoded)
        return false;
    bitmap = std::move(*decoded);
    return true;
}

uint8_t ReadBitmap(gdi::Bitmap& bitmap, const std::string& fileName, bool useDefault)
{
    if (useDefault && TakePreparedBitmap(bitmap))
        return kSkinLoaded;
    const gdi::BmpResult result = useDefault ? ReadBuiltinBitmap(bitmap) : gdi::LoadBmpFile(fileName, bitmap);
    if (!result)
        return Fail(kSkinLoadError, "bitmap " + (useDefault ? std::string("101") : fileName) + ": " + result.message);
    return kSkinLoaded;
}

uint8_t LoadSkinSteps(TKGUI& skin, const std::string& bitmapFileName, const std::string& descriptionFileName,
                      bool useDefault)
{
    if (!useDefault && !(IsFile(descriptionFileName) && IsFile(bitmapFileName)))
        return Fail(kSkinFilesMissing, "the skin's bitmap or description is missing");
    gdi::Bitmap working;
    if (const uint8_t code = ReadDescription(skin, descriptionFileName, useDefault); code != kSkinLoaded)
        return code;
    if (const uint8_t code = ReadBitmap(working, bitmapFileName, useDefault); code != kSkinLoaded)
        return code;
    const int strength = Config ? Config->SkinColorBlend.Strength : 0;
    const gdi::Color blend = Config ? Config->SkinColorBlend.Color : 0;
    ColorizeBitmap(working, blend, strength, skin.TransparentColor);
    if (CutPixels(skin) > kMaxSkinPixels)
        return Fail(kSkinLoadError,
                    "the description asks for more than " + std::to_string(kMaxSkinPixels) + " pixels of images");
    VisitElements(skin, Cutter(working));
    return kSkinLoaded;
}

} // namespace

const std::string& LastSkinError() { return lastError; }
std::u16string SkinMemberFilePart(const std::u16string& name)
{
    std::u16string part;
    size_t begin = 0;
    for (size_t i = 0; i <= name.size(); ++i) {
        if (i == name.size() || name[i] == u'/' || name[i] == u'\\') {
            part = name.substr(begin, i - begin);
            if (part == u"..")
                return {};
            begin = i + 1;
        }
    }
    return part == u"." ? std::u16string() : part;
}

std::string MakeSkinTempFolder()
{
    const std::string parent = UserPath + "data/temp/";
    std::error_code ec;
    fs::create_directories(parent, ec);
    std::string pattern = parent + "skinXXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        return {};
    return pattern + "/";
}

bool CutSkinImages(TKGUI& skin, const gdi::Bitmap& bitmap)
{
    if (CutPixels(skin) > kMaxSkinPixels)
        return false;
    VisitElements(skin, Cutter(bitmap));
    return true;
}

void PrepareBuiltinSkinBitmap()
{
    MutexLock lock(preparedLock);
    prepared = std::async(std::launch::async, [] {
        gdi::Bitmap bitmap;
        return ReadBuiltinBitmap(bitmap) ? std::optional(std::move(bitmap)) : std::nullopt;
    });
}

void RegisterBuiltinSkinResources()
{
    static std::once_flag once;
    std::call_once(once, [] {
        if (!ResourceRegistered(kDescriptionResource))
            RegisterResource(kDescriptionResource, std::string(BuiltinSkinDescription()));
    });
}

uint8_t LoadSkin(TKGUI& skin, const std::string& bitmapFileName, const std::string& descriptionFileName,
                 bool useDefault)
{
    skin.Loaded = false;
    lastError.clear();
    uint8_t result = kSkinLoadError;
    try {
        result = LoadSkinSteps(skin, bitmapFileName, descriptionFileName, useDefault);
    } catch (const std::exception& e) {
        result = Fail(kSkinLoadError, e.what());
    }
    skin.Loaded = result == kSkinLoaded;
    return result;
}

uint8_t LoadSkinFromFolder(TKGUI& skin, const std::string& folder)
{
    std::string dir = IncludeTrailingSlash(folder);
    std::vector<std::string> names;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir, ec))
        if (entry.is_regular_file(ec))
            names.push_back(entry.path().filename().string());
    // Listing order is the sorted order, so "later files win" is stable.
    std::sort(names.begin(), names.end());
    std::string bitmap, kskn, xml;
    for (const std::string& name : names) {
        const std::string ext = LowerExtension(name);
        if (ext == ".bmp")
            bitmap = name;
        else if (ext == ".kskn")
            kskn = name;
        else if (ext == ".xml")
            xml = name;
    }
    return LoadSkin(skin, dir + bitmap, dir + (xml.empty() ? kskn : xml), false);
}

uint8_t LoadSkinFromArchive(TKGUI& skin, const std::string& archiveName, TZipHandler& zip)
{
    skin.Loaded = false;
    lastError.clear();
    const std::string folder = MakeSkinTempFolder();
    if (folder.empty())
        return Fail(kSkinLoadError, "no temporary folder for " + archiveName);
    uint8_t result = kSkinLoadError;
    try {
        zip.SetZipFileName(Utf8ToUtf16(archiveName));
        const TZMDirEntry *bitmap = nullptr, *kskn = nullptr, *xml = nullptr;
        for (int i = 0; i < zip.Count(); ++i) {
            const TZMDirEntry& entry = zip.DirEntry(i);
            const std::string ext = LowerExtension(Utf16ToUtf8(SkinMemberFilePart(entry.FileName)));
            if (ext == ".bmp")
                bitmap = &entry;
            else if (ext == ".kskn")
                kskn = &entry;
            else if (ext == ".xml")
                xml = &entry;
        }
        const TZMDirEntry* description = xml ? xml : kskn;
        if ((bitmap && bitmap->UncompressedSize > kMaxSkinBitmapBytes) ||
            (description && description->UncompressedSize > kMaxDescriptionBytes)) {
            result = Fail(kSkinLoadError, "a member of " + archiveName + " is too large for a skin");
        } else {
            zip.FSpecArgs.clear();
            for (const TZMDirEntry* member : {bitmap, description})
                if (member)
                    zip.FSpecArgs.push_back(member->FileName);
            zip.ExtrBaseDir = Utf8ToUtf16(folder);
            zip.ExtrOptions = ExtrOverWrite;
            const int wanted = static_cast<int>(zip.FSpecArgs.size());
            const int extracted = wanted > 0 ? zip.Extract() : 0;
            zip.FSpecArgs.clear();
            if (extracted != wanted) {
                result = Fail(kSkinLoadError, "cannot unpack " + archiveName);
            } else {
                auto path = [&](const TZMDirEntry* member) {
                    return folder + (member ? Utf16ToUtf8(SkinMemberFilePart(member->FileName)) : std::string());
                };
                result = LoadSkin(skin, path(bitmap), path(description), false);
            }
        }
    } catch (const EZipHandler& e) {
        result = Fail(kSkinLoadError, archiveName + ": " + Utf16ToUtf8(e.Text()));
    } catch (const std::exception& e) {
        result = Fail(kSkinLoadError, archiveName + ": " + e.what());
    }
    std::error_code ec;
    fs::remove_all(folder, ec);
    return result;
}

uint8_t LoadSkinByName(TKGUI& skin, const std::string& name, bool useDefault, TZipHandler& zip)
{
    if (useDefault)
        return LoadSkin(skin, {}, {}, true);
    const std::string utf8 = Utf16ToUtf8(AnsiToUtf16(name));
    // A name is one folder entry, never a path.
    if (utf8.empty() || utf8 == "." || utf8 == ".." || utf8.find('/') != std::string::npos)
        return Fail(kSkinFilesMissing, "no skin named " + utf8);
    for (const std::string& base : {UserPath, ApplicationPath}) {
        const std::string skins = base + "data/skins/" + utf8;
        if (IsFile(skins + ".kskz"))
            return LoadSkinFromArchive(skin, skins + ".kskz", zip);
        if (IsFolder(skins))
            return LoadSkinFromFolder(skin, skins);
    }
    return Fail(kSkinFilesMissing, "no skin named " + utf8);
}

} // namespace kolvarin
