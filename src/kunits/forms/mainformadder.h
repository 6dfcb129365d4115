#pragma once

#include <cstddef>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include <QObject>
#include <QTimer>

class QMimeData;

namespace kolvarin {

// Adds files, folders and playlist files to the playlist without blocking
// the window: folders are scanned on a worker thread (the scan follows no
// link twice, so cycles end), then the names are added a slice of about
// 20 ms at a time from the event loop. One run at a time; starting another
// cancels the one under way (what it added stays). Main thread only.
class TKFileAdder : public QObject {
public:
    TKFileAdder();
    ~TKFileAdder() override;

    // Adds the names in the given order, folders expanded in place. Add
    // adds one name (true when the playlist took it); play is the
    // AddFilesToPlaylist flag for playlist files.
    std::function<bool(const std::u16string& name)> Add;
    // After every slice: names done and names in all (0 while folders are
    // still being read).
    std::function<void(size_t done, size_t total)> OnProgress;
    // Once, when every name was handled or the run was cancelled: the
    // number of names the playlist took.
    std::function<void(size_t added, bool cancelled)> OnDone;

    void Start(std::vector<std::u16string> names);
    void Cancel();
    bool Busy() const { return busy_; }

private:
    void Step();
    void Finish(bool cancelled);

    QTimer step_;
    bool busy_ = false;
    std::future<std::vector<std::u16string>> scan_;
    std::vector<std::u16string> names_;
    size_t next_ = 0;
    size_t added_ = 0;
};

// The names with every folder replaced by the files below it (in the
// scan's order) and every other name kept; safe on any thread.
std::vector<std::u16string> ExpandFolders(const std::vector<std::u16string>& names);

// Names in the order dropped and added lists take: alphabetical, letter
// case ignored, equal names kept in their order.
void SortNames(std::vector<std::u16string>& names);
// The local files of a drop from a file manager (text/uri-list), in the
// order given; other addresses are left out.
std::vector<std::u16string> DroppedFiles(const QMimeData& data);

} // namespace kolvarin
