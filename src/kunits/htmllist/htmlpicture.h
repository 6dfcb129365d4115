#pragma once

#include <functional>
#include <string>

#include <QImage>

#include "gdi/canvas.h"

namespace kolvarin {

// A picture of a markup item: keeps the encoded bytes and decodes them with
// the window library's image readers (bitmap, icon, JPEG, GIF, PNG); an
// animated GIF is decoded one frame at a time. Main thread only.
class THTMLPicture {
public:
    THTMLPicture() = default;
    THTMLPicture(const THTMLPicture&) = delete;
    THTMLPicture& operator=(const THTMLPicture&) = delete;

    // Keeps the bytes and decodes them (frame 1 of an animated GIF). Throws
    // std::runtime_error with "Empty image stream created" (no bytes),
    // "Could not load image. Invalid format" (no reader knows them) or
    // "Could not load image" (they do not decode, or the picture is larger
    // than a bitmap may be); the picture is then empty.
    void LoadFromBytes(std::string bytes);
    // The same with a file's bytes; "Could not allocate memory for image"
    // when the file cannot be read or is larger than 64 MiB.
    void LoadFromFile(const std::u16string& fileName);
    // The bytes as loaded.
    const std::string& Data() const { return data_; }

    // By the URL's upper-cased start: "RES://" loads the rest as a resource
    // of the program (a Qt resource ":/<rest>"; nothing when missing),
    // "FILE://" loads the rest as a file name (Windows-1252). Any other URL is
    // only stored as URL and ID; the picture stays empty (the picture cache
    // downloads http and https pictures). Loading errors throw as above.
    void LoadFromURL(const std::string& url);

    bool Empty() const { return image_.isNull(); }
    // Pixels of the frame shown.
    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    // The design lets callers set the size; it does nothing.
    void SetWidth(int) {}
    void SetHeight(int) {}

    // 1-based; setting decodes that frame (kept when it does not decode) and
    // fires OnFrameChange. Out-of-range values are ignored.
    int Frame() const { return frame_; }
    void SetFrame(int frame);
    int FrameCount() const { return frameCount_; }
    // Where the frame shown lies in the GIF's logical screen, and that screen.
    int FrameXOffset() const { return frameX_; }
    int FrameYOffset() const { return frameY_; }
    int LogicalWidth() const { return screenWidth_; }
    int LogicalHeight() const { return screenHeight_; }

    // Natural size at the rectangle's top-left corner, or the whole
    // rectangle when Stretch is set; transparent pixels stay transparent.
    // An empty picture draws nothing.
    void Draw(gdi::Canvas& canvas, const gdi::Rect& rect) const;
    // Copies of the frame side by side and row by row from the area's
    // top-left corner, cut at the area's edges.
    void Tile(gdi::Canvas& canvas, const gdi::Rect& area) const;

    // Copies the other picture's bytes and decodes them anew (frame 1), then
    // fires OnChange. Errors throw as for LoadFromBytes.
    void Assign(const THTMLPicture& other);

    // One tick of the owner's 100 ms animation timer; true when another
    // frame is now shown.
    bool Step();

    bool Stretch = false;
    bool Asynchronous = true;
    bool DownloadStarted = false;
    std::string URL;
    std::string ID; // the URL or file name the picture came from
    std::function<void()> OnFrameChange;
    std::function<void()> OnChange;

private:
    void decode();
    void clear();

    std::string data_;
    QImage image_; // the frame shown, premultiplied ARGB
    int frame_ = 1;
    int frameCount_ = 0;
    int frameX_ = 0;
    int frameY_ = 0;
    int screenWidth_ = 0;
    int screenHeight_ = 0;
    int nextChange_ = -1; // hundredths of a second
    int ticks_ = -1;
};

} // namespace kolvarin
