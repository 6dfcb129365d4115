// Draws the built-in skin and writes it three ways into the output folder:
// base.bmp, base.png and base.xml (to look at) and builtin_skin_data.cpp (compiled
// into the skin library). Usage: kolvarin_skingen OUTPUT_FOLDER

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <QGuiApplication>

#include "gdi/bmpcodec.h"
#include "skinlayout.h"

namespace {

std::vector<std::uint8_t> ToBmp(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    kolvarin::gdi::Bitmap bitmap(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            bitmap.setPixel(x, y, kolvarin::gdi::RGB(qRed(line[x]), qGreen(line[x]), qBlue(line[x])));
    }
    return kolvarin::gdi::EncodeBmp24(bitmap);
}

// A string literal of the bytes, in lines of 32 escaped bytes.
std::string Literal(const std::string& bytes)
{
    static const char hex[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 4 + bytes.size() / 8 + 16);
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i % 32 == 0)
            out += i == 0 ? "\"" : "\"\n    \"";
        const auto b = static_cast<unsigned char>(bytes[i]);
        out += "\\x";
        out += hex[b >> 4];
        out += hex[b & 15];
    }
    out += "\"";
    return out;
}

bool WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    QGuiApplication app(argc, argv);
    const skingen::BuiltinSkin skin = skingen::MakeBuiltinSkin();
    const std::vector<std::uint8_t> bmp = ToBmp(skin.Bitmap);
    const std::string bitmap(bmp.begin(), bmp.end());
    const std::string description = skin.Description.toStdString();
    const std::string folder = std::string(argv[1]) + "/";
    const std::string source =
        "// Written by kolvarin_skingen; do not edit.\n"
        "#include \"skin/kskinbuiltin.h\"\n\n"
        "namespace kolvarin {\n\n"
        "namespace {\n"
        "constexpr char kDescription[] =\n    " +
        Literal(description) +
        ";\n"
        "constexpr char kBitmap[] =\n    " +
        Literal(bitmap) +
        ";\n"
        "} // namespace\n\n"
        "std::string_view BuiltinSkinDescription() { return {kDescription, sizeof kDescription - 1}; }\n"
        "std::string_view BuiltinSkinBitmap() { return {kBitmap, sizeof kBitmap - 1}; }\n\n"
        "} // namespace kolvarin\n";
    if (!skin.Bitmap.save(QString::fromStdString(folder + "base.png")) || !WriteFile(folder + "base.bmp", bitmap) ||
        !WriteFile(folder + "base.xml", description) || !WriteFile(folder + "builtin_skin_data.cpp", source)) {
        std::fprintf(stderr, "cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
