#pragma once

#include <QObject>

class QSocketNotifier;

namespace kolvarin {

// Turns SIGTERM and SIGINT into a normal end of the message loop, so the
// whole shutdown sequence runs. Create after the application object, on the
// main thread; only one may exist.
class TKSignalWatcher : public QObject {
public:
    TKSignalWatcher();
    ~TKSignalWatcher() override;

private:
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace kolvarin
