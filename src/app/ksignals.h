#pragma once

#include <QObject>

class QSocketNotifier;

namespace kolvarin {

// Catches SIGTERM and SIGINT while it lives; a signal waits until a
// TKSignalWatcher takes it, so one that comes early in the start-up still
// ends the program normally. Main thread; only one may exist.
class TKSignalCatcher {
public:
    TKSignalCatcher();
    ~TKSignalCatcher();
    TKSignalCatcher(const TKSignalCatcher&) = delete;
    TKSignalCatcher& operator=(const TKSignalCatcher&) = delete;
};

// Turns the caught signals into RequestQuit, so the whole shutdown sequence
// runs, also when a dialog is open or start-up is still going on. Create
// after the application object, on the main thread, while a TKSignalCatcher
// exists.
class TKSignalWatcher : public QObject {
public:
    TKSignalWatcher();

private:
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace kolvarin
