// How the replay and send-log workers reach the UI thread, and the timer ticks that pace them.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <condition_variable>
#include <mutex>

#include "base/UiBridge.h"

// A Post for UiBridge: queues each function to target's thread. A
// function queued to a target that is gone by then is dropped by Qt.
varno::UiBridge::Post postTo(QObject* target);

// The tick-wait flag of a worker paced by a window timer. The worker arms it
// when it starts; each timer tick on the UI thread clears it; wait() returns
// once it is clear and sets it again, so a tick that came while the worker was
// busy counts and a slow line does not slow the pace further.
class TickGate {
public:
    // Worker start: the flag is set and waits are allowed again.
    void arm();
    // UI thread, every tick.
    void tick();
    // Worker: waits for the next tick; false once released.
    bool wait();
    // Ends every wait for good (until the next arm()); the owner calls this
    // before it stops the worker, so no worker waits for a timer that stopped.
    void release();

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool flag_ = false;
    bool released_ = false;
};

// A timer on a widget whose ticks feed a TickGate.
class GateTimer : public QObject {
    Q_OBJECT
public:
    explicit GateTimer(QObject* owner);
    // Arms the gate and starts ticking every period (at least 1 ms).
    void start(std::chrono::milliseconds period);
    // Stops the ticks and releases the gate.
    void stop();
    bool active() const { return timer_.isActive(); }
    int intervalMs() const { return timer_.interval(); }
    TickGate& gate() { return gate_; }

private:
    QTimer timer_;
    TickGate gate_;
};
