#pragma once

// The navigator's streaming: one thread reads the disc through the session
// and demultiplexes the program stream with FFmpeg's demuxer; one thread per
// connected pin delivers. The audio and subpicture pins get only the
// packets of the physical stream the session names, which is how a stream
// is chosen (libdvdnav has no call for it).
//
// The navigator's events go out when the video before them has been
// delivered, so they say what is on screen, not what was read ahead.
//
// Sample times run on across cells, jumps and stills: each video object
// unit whose start does not follow the previous one's end is placed after
// what was delivered, and no earlier than the graph's stream time now. At a
// rate other than 1 the times run that much faster; a change of rate takes
// effect with the next unit, and a new segment tells the pins' filters.

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "base/threadsafety.h"
#include "media/dvdsession.h"
#include "media/filterbase.h"
#include "media/packetqueue.h"

struct AVFormatContext;
struct AVIOContext;

namespace kolvarin::media {

class DvdStreamer {
public:
    struct Pins {
        OutputPin* video = nullptr;
        OutputPin* audio = nullptr;
        OutputPin* subpicture = nullptr;
    };
    // Sends one event to the graph (any thread).
    using Notify = std::function<void(int32_t code, intptr_t param1, intptr_t param2)>;
    // The graph's stream time in 100 ns units (in a pause, where it stands),
    // or -1 while stopped.
    using StreamTime = std::function<REFERENCE_TIME()>;

    DvdStreamer(DvdSession& session, Pins pins, Notify notify, StreamTime streamTime);
    ~DvdStreamer();
    DvdStreamer(const DvdStreamer&) = delete;
    DvdStreamer& operator=(const DvdStreamer&) = delete;

    // Main thread: start on the pause from stopped, stop on the stop.
    void Start();
    void Stop();
    // Main thread, after a command moved playback or changed a stream: drops
    // what is queued when playback jumped, and ends a still.
    void Wake();
    // Main thread: the rate (above 0) the units read from now on play at;
    // whether it changed.
    bool SetRate(double rate);
    // Tell the filter that draws the subpictures the current button's
    // highlight, and whether subpictures show (any thread).
    void UpdateHighlight();
    void ShowSubpictures(bool show);

private:
    enum class Break { None, Still, Jump, Seam, Stop, Error, Abort };
    struct PinQueue {
        OutputPin* pin = nullptr;
        PacketQueue queue;
        std::thread thread;
        int codec = 0; // of the packets last routed here
        double rate = 1.0; // of the segment last queued here
    };
    // From a position of the program stream on, disc time (90 kHz) disc
    // maps to stream time (90 kHz) stream, running at rate.
    struct Anchor {
        int64_t position = 0;
        int64_t disc = 0;
        int64_t stream = 0;
        double rate = 1.0;
    };

    static int ReadPacket(void* self, uint8_t* buffer, int size);
    int Read(uint8_t* buffer, int size);
    void ReadLoop();
    bool OpenDemuxer();
    void CloseDemuxer();
    void Route(struct AVPacket* packet);
    // Places the unit and takes the streams to pass on in it.
    void StartVobu(uint32_t start, uint32_t end);
    void PlaceVobu(uint32_t start, uint32_t end);
    const Anchor& AnchorAt(int64_t position) const;
    static int64_t StreamTimeOf(const Anchor& anchor, int64_t time);
    void DeliverLoop(PinQueue& p);
    void StartDelivery();
    void StopDelivery();
    void Flush();
    // Puts out the picture the video decoder holds back.
    void EndSequence();
    void EndStill(int seconds);
    void EndOfStream();
    // Sends the events read so far behind the video queued so far.
    void QueueEvents();
    void SendEvents(int64_t batch);
    void DropQueuedEvents();
    // Waits for a command (ms < 0: without limit); true when one came.
    bool WaitForCommand(int ms);
    bool Connected(const PinQueue& p) const { return p.pin && p.pin->IsConnected(); }
    ComPtr<IDvdSubpictureSink> SubpictureSink() const;

    DvdSession& session_;
    Notify notify_;
    StreamTime streamTime_;
    PinQueue pins_[3]; // video, audio, subpicture
    std::thread reader_;
    std::atomic<bool> abort_{false};
    std::atomic<double> rate_{1.0};
    bool running_ = false;

    // Reading thread.
    AVFormatContext* fmt_ = nullptr;
    AVIOContext* io_ = nullptr;
    Break break_ = Break::None;
    int stillSeconds_ = 0;
    int64_t position_ = 0; // bytes handed to the demuxers
    int64_t demuxerStart_ = 0; // position_ when the current demuxer opened
    std::vector<Anchor> anchors_; // by position
    bool placed_ = false; // a unit was placed since the last flush
    std::optional<std::pair<uint32_t, uint32_t>> seam_; // a unit read, to start in the next demuxer
    uint32_t lastEnd_ = 0;
    int64_t nextStart_ = 0; // 90 kHz, where the next discontinuous unit goes
    int audioStream_ = -1, subpictureStream_ = -1;
    std::vector<DvdEvent> pending_; // read, not yet queued
    int64_t nextBatch_ = 0;

    // Each lock below is taken alone but wakeLock_, under which the session's
    // lock is taken.
    // Guards the batches between the reading thread and the video pin's thread.
    Mutex eventsLock_;
    std::deque<std::pair<int64_t, std::vector<DvdEvent>>> batches_ GUARDED_BY(eventsLock_); // queued behind video
    // Guards the types between the reading thread and the pins' threads.
    Mutex typesLock_;
    std::deque<AMMediaType> types_ GUARDED_BY(typesLock_); // by AVPacket::stream_index, as routed

    // Guards a command's wake between the main thread and the reading thread.
    Mutex wakeLock_;
    std::condition_variable woken_;
    bool wake_ GUARDED_BY(wakeLock_) = false;
};

} // namespace kolvarin::media
