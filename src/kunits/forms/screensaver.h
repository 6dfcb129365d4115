#pragma once

// Keeps the screen saver away while a video plays. The desktop's
// screen saver is asked over the session bus (org.freedesktop.ScreenSaver
// Inhibit and UnInhibit); a test drops in a recording fake. Main thread.

#include <cstdint>
#include <optional>

namespace kolvarin {

class TKScreensaver {
public:
    virtual ~TKScreensaver() = default;
    // The cookie of the inhibition; nothing when no screen saver answered.
    virtual std::optional<uint32_t> Inhibit() = 0;
    virtual void UnInhibit(uint32_t cookie) = 0;
};

// The freedesktop screen saver on the session bus.
class TKDBusScreensaver : public TKScreensaver {
public:
    std::optional<uint32_t> Inhibit() override;
    void UnInhibit(uint32_t cookie) override;
};

// One inhibition at a time: Hold asks once, Release gives it back once.
class TKScreensaverInhibit {
public:
    explicit TKScreensaverInhibit(TKScreensaver& screensaver) : screensaver_(&screensaver) {}
    ~TKScreensaverInhibit() { Release(); }
    TKScreensaverInhibit(const TKScreensaverInhibit&) = delete;
    TKScreensaverInhibit& operator=(const TKScreensaverInhibit&) = delete;

    void SetScreensaver(TKScreensaver& screensaver);
    void Hold();
    void Release();
    bool Held() const { return cookie_.has_value(); }

private:
    TKScreensaver* screensaver_;
    std::optional<uint32_t> cookie_;
};

} // namespace kolvarin
