#pragma once

#include <QObject>

namespace kolvarin {

// The events several parts of the windows hear. Whoever causes one emits it
// here; a listener connects with itself as the context, so its connection
// ends when it goes, and any number may listen. Main thread only.
class TKWindowEvents : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    // Entries were added, removed, moved or changed.
    void PlaylistChanged();
    // A medium has started: its stream information and entry are known.
    void MediumStarted();
};

// The process's one hub.
TKWindowEvents& WindowEvents();

} // namespace kolvarin
