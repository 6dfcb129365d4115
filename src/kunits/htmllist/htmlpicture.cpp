#include "htmllist/htmlpicture.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "codepage/codepage.h"
#include "gdi/bitmap.h"
#include "gdi/qtimage.h"
#include "htmllist/gifframes.h"

namespace kolvarin {

using codepage::AnsiToUtf16;
using codepage::Utf16ToUtf8;

namespace {

constexpr std::uintmax_t MaxFileBytes = std::uintmax_t(64) << 20;

// The formats the design's picture loader reads; metafiles have no reader here.
constexpr std::array<std::string_view, 5> Formats = {"bmp", "ico", "jpeg", "gif", "png"};

bool tooLarge(const QSize& size)
{
    return size.width() > gdi::Bitmap::MaxSide || size.height() > gdi::Bitmap::MaxSide ||
           std::int64_t(size.width()) * size.height() > gdi::Bitmap::MaxPixels;
}

QImage decodeImage(const std::string& bytes)
{
    if (bytes.empty())
        throw std::runtime_error("Empty image stream created");
    QByteArray array = QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size()));
    QBuffer buffer(&array);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format().toLower();
    if (std::find(Formats.begin(), Formats.end(), format.toStdString()) == Formats.end())
        throw std::runtime_error("Could not load image. Invalid format");
    if (const QSize size = reader.size(); size.isValid() && tooLarge(size))
        throw std::runtime_error("Could not load image");
    QImage image;
    if (!reader.read(&image) || image.isNull() || tooLarge(image.size()))
        throw std::runtime_error("Could not load image");
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

bool startsWithUpper(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        if (c != prefix[i])
            return false;
    }
    return true;
}

} // namespace

void THTMLPicture::clear()
{
    data_.clear();
    image_ = QImage();
    frame_ = 1;
    frameCount_ = 0;
    frameX_ = frameY_ = 0;
    screenWidth_ = screenHeight_ = 0;
    nextChange_ = -1;
    ticks_ = -1;
}

void THTMLPicture::LoadFromBytes(std::string bytes)
{
    clear();
    data_ = std::move(bytes);
    if (gif::IsGif(data_)) {
        frameCount_ = std::max(1, gif::CountFrames(data_));
        if (const auto screen = gif::ReadLogicalScreen(data_)) {
            screenWidth_ = screen->width;
            screenHeight_ = screen->height;
        }
    } else {
        frameCount_ = 1;
    }
    try {
        decode();
    } catch (...) {
        clear();
        throw;
    }
}

void THTMLPicture::LoadFromFile(const std::u16string& fileName)
{
    const std::filesystem::path path(Utf16ToUtf8(fileName));
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error)
        throw std::runtime_error("Cannot open file \"" + Utf16ToUtf8(fileName) + "\"");
    if (size > MaxFileBytes)
        throw std::runtime_error("Could not allocate memory for image");
    std::ifstream file(path, std::ios::binary);
    std::string bytes(std::size_t(size), '\0');
    if (!file.read(bytes.data(), std::streamsize(size)))
        throw std::runtime_error("Could not allocate memory for image");
    LoadFromBytes(std::move(bytes));
}

void THTMLPicture::LoadFromURL(const std::string& url)
{
    ID = url;
    if (startsWithUpper(url, "RES://")) {
        QFile resource(QStringLiteral(":/") + QString::fromStdU16String(AnsiToUtf16(url.substr(6))));
        if (resource.open(QIODevice::ReadOnly))
            LoadFromBytes(resource.readAll().toStdString());
        return;
    }
    if (startsWithUpper(url, "FILE://")) {
        LoadFromFile(AnsiToUtf16(url.substr(7)));
        return;
    }
    URL = url;
    if (Asynchronous && !DownloadStarted)
        DownloadStarted = true;
}

void THTMLPicture::decode()
{
    std::string single;
    if (frameCount_ > 1) {
        single = gif::SingleFrameImage(data_, frame_);
        if (single.empty())
            throw std::runtime_error("Could not load image");
        const std::optional<gif::Frame> frame = gif::ReadFrame(data_, frame_);
        frameX_ = frame->left;
        frameY_ = frame->top;
    }
    image_ = decodeImage(frameCount_ > 1 ? single : data_);
}

void THTMLPicture::SetFrame(int frame)
{
    if (frame < 1 || frame > frameCount_ || data_.empty())
        return;
    const int previous = frame_;
    const QImage shown = image_;
    const int x = frameX_, y = frameY_;
    frame_ = frame;
    try {
        decode();
    } catch (const std::runtime_error&) {
        // A damaged frame: keep showing the one before.
        frame_ = previous;
        image_ = shown;
        frameX_ = x;
        frameY_ = y;
        return;
    }
    if (OnFrameChange)
        OnFrameChange();
}

void THTMLPicture::Draw(gdi::Canvas& canvas, const gdi::Rect& rect) const
{
    if (Empty())
        return;
    QImage target = gdi::WrapAsQImage(canvas.bitmap());
    if (target.isNull())
        return;
    QPainter painter(&target);
    if (Stretch)
        painter.drawImage(QRect(rect.left, rect.top, rect.width(), rect.height()), image_);
    else
        painter.drawImage(QPoint(rect.left, rect.top), image_);
}

void THTMLPicture::Tile(gdi::Canvas& canvas, const gdi::Rect& area) const
{
    if (Empty() || area.isEmpty())
        return;
    QImage target = gdi::WrapAsQImage(canvas.bitmap());
    if (target.isNull())
        return;
    QPainter painter(&target);
    painter.setBrushOrigin(area.left, area.top);
    painter.fillRect(QRect(area.left, area.top, area.width(), area.height()), QBrush(image_));
}

void THTMLPicture::Assign(const THTMLPicture& other)
{
    LoadFromBytes(other.data_);
    if (OnChange)
        OnChange();
}

bool THTMLPicture::Step()
{
    if (frameCount_ < 2 || Empty())
        return false;
    bool changed = false;
    if (ticks_ * 10 >= nextChange_) {
        const int next = frame_ < frameCount_ ? frame_ + 1 : 1;
        const int before = frame_;
        SetFrame(next);
        changed = frame_ != before;
        const std::optional<gif::Frame> frame = gif::ReadFrame(data_, next);
        nextChange_ += frame ? frame->delay : 0;
    }
    ++ticks_;
    return changed;
}

} // namespace kolvarin
