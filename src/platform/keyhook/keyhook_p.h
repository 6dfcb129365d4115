#pragma once

// The pieces of the hook: key grabs on an X server and the media service on
// the session bus. Each exists only while the hook is enabled.

#include <memory>
#include <optional>
#include <vector>

#include <QDBusVirtualObject>
#include <QString>

#include "keyhook/keyhook.h"

class QSocketNotifier;

namespace kolvarin::keyhook {

// Grabs keys on the root window of the X server named by DISPLAY, on its own
// connection, and posts 2025 for each grabbed key. Main thread.
class TX11KeyGrabber {
public:
    // Null when DISPLAY is unset or the server cannot be reached.
    static std::unique_ptr<TX11KeyGrabber> Open();
    ~TX11KeyGrabber();
    // Replaces the grabs; keys the server will not give (another program
    // holds them, no key code) are left out.
    void Grab(const std::vector<TGlobalKey>& keys);

private:
    explicit TX11KeyGrabber(void* display);
    void Ungrab();
    void Drain();

    void* display_; // Display*
    std::unique_ptr<QSocketNotifier> notifier_;
    std::vector<std::pair<int, unsigned>> grabbed_; // key code, modifier mask
};

// The application command a method of the MPRIS player interface stands for.
std::optional<int64_t> MprisAppCommand(const QString& interface, const QString& member);

// The object at /org/mpris/MediaPlayer2, answered by hand so that no meta
// object is needed: the player's commands become 2026, the rest is accepted
// and does nothing.
class TMprisObject : public QDBusVirtualObject {
public:
    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
};

// "org.mpris.MediaPlayer2.kolvarin" on the session bus. Null without a bus
// or when the name is taken.
class TMprisService {
public:
    static std::unique_ptr<TMprisService> Register();
    ~TMprisService();

private:
    TMprisService() = default;
    std::unique_ptr<TMprisObject> object_;
};

} // namespace kolvarin::keyhook
