#include "platform/Events.h"

#include <QCoreApplication>
#include <QThread>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include "platform/Monotonic.h"
#include "platform/Threads.h"

namespace platform {

namespace {
std::function<void()>& Hook() {
    static std::function<void()> hook;
    return hook;
}
int g_screenPointer = pointer::Default;
// How deep this thread is in WhileResponsive's own processing of events.
int g_responsive = 0;

ScreenServices& Screen() {
    static ScreenServices services;
    return services;
}

void ThrottlePaints() {
    if (Screen().throttlePaints)
        Screen().throttlePaints();
}

// One long-lived helper runs the blocking calls in turn: a flush per pass is too
// frequent for a thread of its own each time.
class BlockingCalls {
  public:
    struct Job {
        const std::function<void()>* call;
        std::exception_ptr error;
        bool done = false;
    };

    static BlockingCalls& Get() {
        // Never destroyed: the helper may still wait for work when the program ends.
        static BlockingCalls* calls = new BlockingCalls;
        return *calls;
    }

    void Post(Job* job) {
        std::lock_guard lock(mutex_);
        jobs_.push_back(job);
        wake_.notify_all();
    }

    // Waits up to the time given for the job; true when it is done.
    bool Wait(Job* job, std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        return finished_.wait_for(lock, limit, [job] { return job->done; });
    }

    // Waits for the job however long it takes.
    void Finish(Job* job) {
        std::unique_lock lock(mutex_);
        finished_.wait(lock, [job] { return job->done; });
    }

  private:
    BlockingCalls() {
        std::thread([this] { Serve(); }).detach();
    }

    void Serve() {
        NameThisThread("quellix-flush");
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return !jobs_.empty(); });
            Job* job = jobs_.front();
            jobs_.pop_front();
            lock.unlock();
            std::exception_ptr error;
            try {
                (*job->call)();
            } catch (...) {
                error = std::current_exception();
            }
            lock.lock();
            job->error = error;
            job->done = true;
            finished_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    std::deque<Job*> jobs_;
};

// A call shorter than this freezes nothing anyone could see: no event is processed.
constexpr std::chrono::milliseconds kQuietWait{50};
// How often the events are processed while a long call runs.
constexpr std::chrono::milliseconds kPumpInterval{10};

}  // namespace

void WhileResponsive(const std::function<void()>& blocking) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread()) {
        blocking();
        return;
    }
    BlockingCalls& calls = BlockingCalls::Get();
    BlockingCalls::Job job{&blocking, {}, false};
    calls.Post(&job);
    // The job, and all the call refers to, live on this stack: however this
    // function is left (an exception out of the events processed included), the
    // helper is done with them first.
    struct Finished {
        BlockingCalls& calls;
        BlockingCalls::Job* job;
        ~Finished() { calls.Finish(job); }
    } finished{calls, &job};
    if (!calls.Wait(&job, kQuietWait)) {
        // An event handler that yields meanwhile (the free-space clock's tick)
        // yields nothing: these events are being processed already, and the
        // wait is no yield.
        ++g_responsive;
        struct Leave {
            ~Leave() { --g_responsive; }
        } leave;
        ThrottlePaints();
        do {
            QCoreApplication::processEvents(QEventLoop::AllEvents, kPumpInterval.count());
        } while (!calls.Wait(&job, kPumpInterval));
    }
    if (job.error)
        std::rethrow_exception(job.error);
}

namespace {

// How long the pending events may wait at a yield.
constexpr double kYieldInterval = 0.001;  // seconds
double g_lastProcessed = -1.0;

void ProcessNow() {
    ThrottlePaints();
    QCoreApplication::processEvents();
    g_lastProcessed = MonotonicSeconds();
}

}  // namespace

void DoEvents() {
    if (g_responsive > 0)
        return;
    if (Hook()) {
        // Copy first: the hook may replace itself.
        auto hook = Hook();
        hook();
    }
    if (!QCoreApplication::instance())
        return;
    // A clock that a test set may have gone back: the events are due then too.
    const double now = MonotonicSeconds();
    if (g_lastProcessed < 0 || now - g_lastProcessed >= kYieldInterval || now < g_lastProcessed)
        ProcessNow();
}

void ProcessPendingEvents() {
    if (QCoreApplication::instance())
        ProcessNow();
}

void SetYieldHook(std::function<void()> hook) {
    Hook() = std::move(hook);
}

void SetScreenMousePointer(int p) {
    if (Screen().showPointer)
        Screen().showPointer(g_screenPointer, p);
    g_screenPointer = p;
}

int ScreenMousePointer() {
    return g_screenPointer;
}

void SetScreenServices(ScreenServices services) {
    Screen() = services;
}

}  // namespace platform
