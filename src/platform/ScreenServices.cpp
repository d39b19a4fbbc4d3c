#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>

#include "platform/Events.h"
#include "platform/ScreenServices.h"

namespace platform::widgets {

namespace {

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

}  // namespace

void ThrottlePaints() {
    static PaintThrottle* throttle = nullptr;
    if (!throttle && qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        throttle = new PaintThrottle;
        throttle->moveToThread(QCoreApplication::instance()->thread());
        throttle->setParent(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(throttle);
    }
}

void ShowScreenPointer(int previous, int p) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    if (previous != pointer::Default) {
        QGuiApplication::restoreOverrideCursor();
    }
    if (p == pointer::Hourglass) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    } else if (p != pointer::Default) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    }
}

}  // namespace platform::widgets
