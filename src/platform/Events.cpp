#include "platform/Events.h"

#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include "platform/Threads.h"

namespace platform {

namespace {
std::function<void()>& Hook() {
    static std::function<void()> hook;
    return hook;
}
int g_screenPointer = pointer::Default;

// Windows are painted at most once every kPaintInterval: a long run yields
// thousands of times a second, and painting the progress window at each yield
// would cost more than the wipe itself. A later request is put off, never lost.
constexpr int kPaintInterval = 15;  // milliseconds

class PaintThrottle : public QObject {
  public:
    PaintThrottle() { clock_.start(); }

  protected:
    bool eventFilter(QObject* target, QEvent* event) override {
        if (event->type() != QEvent::UpdateRequest || !target->isWidgetType())
            return false;
        const qint64 since = clock_.elapsed() - lastPaint_;
        if (since >= kPaintInterval) {
            lastPaint_ = clock_.elapsed();
            return false;
        }
        QPointer<QObject> later(target);
        QTimer::singleShot(static_cast<int>(kPaintInterval - since), target, [later] {
            if (later)
                QCoreApplication::postEvent(later, new QEvent(QEvent::UpdateRequest));
        });
        return true;
    }

  private:
    QElapsedTimer clock_;
    qint64 lastPaint_ = -kPaintInterval;
};

void ThrottlePaints() {
    static PaintThrottle* throttle = nullptr;
    if (!throttle && qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        throttle = new PaintThrottle;
        throttle->moveToThread(QCoreApplication::instance()->thread());
        throttle->setParent(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(throttle);
    }
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
    if (!calls.Wait(&job, kQuietWait)) {
        ThrottlePaints();
        do {
            QCoreApplication::processEvents(QEventLoop::AllEvents, kPumpInterval.count());
        } while (!calls.Wait(&job, kPumpInterval));
    }
    if (job.error)
        std::rethrow_exception(job.error);
}

void DoEvents() {
    if (Hook()) {
        // Copy first: the hook may replace itself.
        auto hook = Hook();
        hook();
    }
    if (QCoreApplication::instance()) {
        ThrottlePaints();
        QCoreApplication::processEvents();
    }
}

void SetYieldHook(std::function<void()> hook) {
    Hook() = std::move(hook);
}

void SetScreenMousePointer(int p) {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (g_screenPointer != pointer::Default) {
            QGuiApplication::restoreOverrideCursor();
        }
        if (p == pointer::Hourglass) {
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        } else if (p != pointer::Default) {
            QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
        }
    }
    g_screenPointer = p;
}

int ScreenMousePointer() {
    return g_screenPointer;
}

}  // namespace platform
