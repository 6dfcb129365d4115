// Makes the files an installation ships, from what the program itself knows:
//   kolvarin_datagen SHARE-DIR EXE
// writes below SHARE-DIR (the build's image of <prefix>/share):
//   kolvarin/data/languages/English.klang  the built-in English texts
//   kolvarin/data/db/audioformats.xml, videoformats.xml
//   kolvarin/data/icons/<ext>.ico          one per registered file type, and dvd.ico
//   kolvarin/data/presets/<name>.keqp      equalizer presets
//   applications/kolvarin.desktop          EXE started with the files it opens
//   icons/hicolor/...                      the program's icon
// Any old folder kolvarin/data/ is replaced whole, so nothing stale ships.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include "core/system/kfilesave.h"
#include "core/system/kfiletypes.h"
#include "core/system/kglobals.h"
#include "core/system/kpaths.h"
#include "core/system/kprogramicon.h"
#include "core/text/klanguage.h"
#include "core/text/kstrings.h"
#include "forms/debugmenu.h"
#include "playback/kequalizer.h"

namespace fs = std::filesystem;
using namespace kolvarin;

namespace {

// Gains in dB of the ten bands, 60 Hz to 16 kHz.
struct Preset {
    const char* Name;
    std::array<int, EqualizerBandCount> Gain;
};
constexpr Preset kPresets[] = {
    {"Flat", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},           {"Classical", {0, 0, 0, 0, 0, 0, -4, -4, -4, -6}},
    {"Club", {0, 0, 4, 3, 3, 3, 2, 0, 0, 0}},           {"Dance", {6, 4, 1, 0, 0, -3, -4, -4, 0, 0}},
    {"Full Bass", {6, 6, 6, 3, 1, -3, -5, -6, -6, -6}}, {"Full Treble", {-6, -6, -6, -3, 1, 6, 9, 9, 9, 10}},
    {"Headphones", {3, 7, 3, -2, -1, 1, 3, 6, 8, 9}},   {"Jazz", {3, 2, 1, 2, -1, -1, 0, 1, 2, 3}},
    {"Live", {-3, 0, 2, 3, 3, 3, 2, 1, 1, 1}},          {"Loudness", {5, 3, 0, 0, -1, 0, -1, -4, 4, 1}},
    {"Pop", {-1, 2, 4, 5, 3, 0, -1, -1, -1, -1}},       {"Reggae", {0, 0, 0, -3, 0, 4, 4, 0, 0, 0}},
    {"Rock", {5, 3, -3, -5, -2, 2, 5, 6, 6, 6}},        {"Soft", {2, 1, 0, -1, 0, 2, 5, 6, 7, 7}},
    {"Techno", {5, 4, 0, -3, -3, 0, 5, 6, 6, 5}},       {"Vocal", {-2, -3, -3, 1, 4, 4, 3, 1, 0, -2}},
};

void WritePresets(const std::string& folder)
{
    fs::create_directories(folder);
    for (const Preset& preset : kPresets) {
        TEqualizerValues values;
        for (int band = 0; band < EqualizerBandCount; ++band)
            values.Band[band] = EqualizerNeutralValue + preset.Gain[band];
        if (!SaveEqualizerPreset(Utf8ToUtf16(folder + preset.Name + ".keqp"), values))
            throw std::runtime_error(std::string("cannot write the preset ") + preset.Name);
    }
}

// A file-type picture: a page with a folded corner, the extension across it
// and the program's icon in its lower right corner.
QImage FileTypePicture(const std::string& label, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const qreal left = s * 0.12, right = s * 0.88, top = s * 0.03, bottom = s * 0.97, fold = s * 0.25;
    QPainterPath page;
    page.moveTo(left, top);
    page.lineTo(right - fold, top);
    page.lineTo(right, top + fold);
    page.lineTo(right, bottom);
    page.lineTo(left, bottom);
    page.closeSubpath();
    painter.setPen(QPen(QColor(0x60, 0x60, 0x68), std::max(1.0, s / 32)));
    painter.setBrush(QColor(0xF8, 0xF8, 0xF4));
    painter.drawPath(page);
    painter.setBrush(QColor(0xD8, 0xD8, 0xD0));
    painter.drawPolygon(
        QPolygonF({QPointF(right - fold, top), QPointF(right - fold, top + fold), QPointF(right, top + fold)}));
    if (size >= 24) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setBold(true);
        font.setPixelSize(std::max(6, size * 9 / 48));
        painter.setFont(font);
        painter.setPen(QColor(0x20, 0x30, 0x70));
        painter.drawText(QRectF(left, top + fold, right - left, s * 0.3), Qt::AlignCenter,
                         QString::fromStdString(label));
    }
    const QImage icon(QString::fromLatin1(kProgramIconResources) +
                      QString::fromStdString(ProgramIconFile(size >= 32 ? 32 : 16)));
    const int iconSize = size / 2;
    painter.drawImage(QRectF(right - iconSize, bottom - iconSize, iconSize, iconSize), icon);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

void Put16(std::string& out, unsigned value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// An icon file with one 32-bit bitmap per picture (an all-clear AND mask
// after each, as the format wants), the form every reader takes.
std::string IconFile(const std::vector<QImage>& pictures)
{
    std::vector<std::string> images;
    for (const QImage& picture : pictures) {
        const int side = picture.width();
        std::string bits;
        Put32(bits, 40);
        Put32(bits, static_cast<uint32_t>(side));
        Put32(bits, static_cast<uint32_t>(side * 2)); // the colours and the mask
        Put16(bits, 1);
        Put16(bits, 32);
        for (int i = 0; i < 6; ++i)
            Put32(bits, 0);
        for (int y = side - 1; y >= 0; --y) {
            const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            for (int x = 0; x < side; ++x)
                Put32(bits, row[x]); // ARGB in memory order B, G, R, A
        }
        const size_t maskRow = ((static_cast<size_t>(side) + 31) / 32) * 4;
        bits.append(maskRow * static_cast<size_t>(side), '\0');
        images.push_back(std::move(bits));
    }
    std::string out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(images.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const int side = pictures[i].width();
        out += static_cast<char>(side >= 256 ? 0 : side);
        out += static_cast<char>(side >= 256 ? 0 : side);
        out += '\0'; // no palette
        out += '\0';
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, static_cast<uint32_t>(images[i].size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const std::string& image : images)
        out += image;
    return out;
}

void WriteFileTypeIcons(const std::string& folder)
{
    fs::create_directories(folder);
    std::vector<std::pair<std::string, std::string>> icons{{"dvd.ico", "DVD"}};
    for (const TKRegisteredType& type : RegisteredFileTypes())
        icons.emplace_back(type.IconFile, type.Extension.substr(1));
    for (const auto& [file, label] : icons) {
        std::vector<QImage> pictures;
        for (int size : {16, 32, 48})
            pictures.push_back(FileTypePicture(label, size));
        SaveFileAtomically(folder + file, IconFile(pictures));
    }
}

void Generate(const std::string& share, const std::string& exe)
{
    const std::string data = share + "kolvarin/data/";
    fs::remove_all(data);
    fs::create_directories(data + "languages");
    TKLanguage english;
    SetDefaultLanguage(english);
    SaveLanguageFile(english, data + "languages/English.klang");
    GenAudioFormatsDB(share + "kolvarin/");
    GenVideoFormatsDB(share + "kolvarin/");
    WriteFileTypeIcons(data + "icons/");
    WritePresets(data + "presets/");
    fs::create_directories(share + "applications");
    SaveFileAtomically(share + "applications/kolvarin.desktop", DesktopFileText(exe, RegisteredMimeTypes()));
    if (!InstallProgramIcons(share + "icons/"))
        throw std::runtime_error("cannot write the program's icon");
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: kolvarin_datagen SHARE-DIR EXE\n");
        return 2;
    }
    VersionText = KOLVARIN_VERSION;
    try {
        Generate(IncludeTrailingSlash(argv[1]), argv[2]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kolvarin_datagen: %s\n", error.what());
        return 1;
    }
    return 0;
}
