#include "forms/mainformadder.h"

#include <algorithm>
#include <chrono>
#include <filesystem>

#include <QMimeData>
#include <QUrl>

#include "core/system/kfiles.h"
#include "core/text/kstrings.h"

namespace kolvarin {

namespace {

// How long one slice of adding may hold the event loop.
constexpr auto kSlice = std::chrono::milliseconds(20);

bool IsFolder(const std::u16string& name)
{
    std::error_code ec;
    return std::filesystem::is_directory(std::filesystem::path(Utf16ToUtf8(name)), ec);
}

} // namespace

void SortNames(std::vector<std::u16string>& names)
{
    std::stable_sort(names.begin(), names.end(), [](const std::u16string& a, const std::u16string& b) {
        return WideLowerCase(a) < WideLowerCase(b);
    });
}

std::vector<std::u16string> DroppedFiles(const QMimeData& data)
{
    std::vector<std::u16string> names;
    for (const QUrl& url : data.urls())
        if (url.isLocalFile())
            names.push_back(url.toLocalFile().toStdU16String());
    return names;
}

std::vector<std::u16string> ExpandFolders(const std::vector<std::u16string>& names)
{
    std::vector<std::u16string> files;
    files.reserve(names.size());
    for (const std::u16string& name : names) {
        if (IsFolder(name))
            ScanDirectoryW(IncludeTrailingBackslashW(name), u"*.*", true, files);
        else
            files.push_back(name);
    }
    return files;
}

TKFileAdder::TKFileAdder()
{
    step_.setInterval(0);
    QObject::connect(&step_, &QTimer::timeout, this, [this] { Step(); });
}

TKFileAdder::~TKFileAdder()
{
    // The scan owns no state of ours; only its result would be dropped.
    if (scan_.valid())
        scan_.wait();
}

void TKFileAdder::Start(std::vector<std::u16string> names)
{
    Cancel();
    busy_ = true;
    names_.clear();
    next_ = 0;
    added_ = 0;
    scan_ = std::async(std::launch::async, [names = std::move(names)] { return ExpandFolders(names); });
    step_.start();
}

void TKFileAdder::Cancel()
{
    if (busy_)
        Finish(true);
}

void TKFileAdder::Step()
{
    if (scan_.valid()) {
        if (scan_.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
            if (OnProgress)
                OnProgress(0, 0);
            return;
        }
        names_ = scan_.get();
    }
    const auto until = std::chrono::steady_clock::now() + kSlice;
    while (next_ < names_.size() && std::chrono::steady_clock::now() < until) {
        if (Add && Add(names_[next_]))
            ++added_;
        ++next_;
    }
    if (OnProgress)
        OnProgress(next_, names_.size());
    if (next_ >= names_.size())
        Finish(false);
}

void TKFileAdder::Finish(bool cancelled)
{
    step_.stop();
    if (scan_.valid())
        scan_.wait();
    scan_ = {};
    busy_ = false;
    names_.clear();
    if (OnDone)
        OnDone(added_, cancelled);
}

} // namespace kolvarin
