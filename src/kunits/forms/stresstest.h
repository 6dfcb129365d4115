#pragma once

#include <chrono>
#include <memory>

#include <QObject>
#include <QString>
#include <QTimer>

namespace kolvarin {

// The developer's stress test of the play system, offered by the playlist
// window while debugging is on: a number of rounds, each playing the next
// entry and then jumping ten times to a random position of the main
// window's progress control; at the end the system stops. Its progress is
// written in a white strip at the bottom of the screen's work area. The
// pauses run on timers, so the window stays usable; starting again or Stop
// ends a test under way. Main thread only.
class TKStressTest : public QObject {
public:
    TKStressTest();
    ~TKStressTest() override;

    // Stops a running play system and a test under way, then runs maximum
    // rounds (none when it is below 1: the system is only stopped).
    void Start(int maximum);
    // Ends a test under way; the play system is left as it is.
    void Stop();
    bool Running() const;
    int Counter() const { return counter_; }
    int Maximum() const { return maximum_; }
    // The two texts of the strip ("Stresstest running, processed 1/5",
    // "Jump 3 / 10 processed"); empty before the first.
    const QString& ProgressText() const { return progressText_; }
    const QString& JumpText() const { return jumpText_; }
    // Whether the strip is on the screen.
    bool StripShown() const;

    // Between rounds, and between two jumps.
    std::chrono::milliseconds RoundPause{500};
    std::chrono::milliseconds JumpPause{300};

private:
    class Strip;
    void Round();
    void NextJump();
    void Jump();
    void ShowTexts();

    QTimer roundTimer_;
    QTimer jumpTimer_;
    std::unique_ptr<Strip> strip_;
    int counter_ = 0;
    int maximum_ = 0;
    int jump_ = 0;
    QString progressText_;
    QString jumpText_;
};

} // namespace kolvarin
