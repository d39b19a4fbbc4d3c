#include "platform/TimerControl.h"

#include <QTimer>
#include <QWidget>

#include "platform/Errors.h"

namespace platform {

namespace {

class TimerWidget : public QWidget {
  public:
    explicit TimerWidget(QWidget* parent) : QWidget(parent) { hide(); }
    QTimer timer{this};  // a child, so that tests find it
};

}  // namespace

QWidget* TimerControl::CreateWidget(QWidget* parent) {
    auto* w = new TimerWidget(parent);
    QObject::connect(&w->timer, &QTimer::timeout, w, [this] {
        if (Timer)
            Timer();
    });
    return w;
}

void TimerControl::ResetProperties() {
    Control::ResetProperties();
    interval_ = 0;
    enabled_ = true;
}

void TimerControl::ApplyAll() {
    Control::ApplyAll();
    widget_->hide();
    ApplyTimer();
}

void TimerControl::ApplyTimer() {
    auto* w = static_cast<TimerWidget*>(widget_);
    if (!w)
        return;
    if (enabled_ && interval_ > 0) {
        // A new interval or a re-enabling starts the count again.
        w->timer.start(interval_);
    } else {
        w->timer.stop();
    }
}

int TimerControl::Interval() const {
    Touch();
    return interval_;
}

void TimerControl::SetInterval(int ms) {
    Touch();
    if (ms < 0) {
        throw RuntimeError(kInvalidPropertyValue, QStringLiteral("Invalid property value"));
    }
    interval_ = ms;
    ApplyTimer();
}

bool TimerControl::Enabled() const {
    Touch();
    return enabled_;
}

void TimerControl::SetEnabled(bool enabled) {
    Touch();
    enabled_ = enabled;
    ApplyTimer();
}

bool TimerControl::Running() const {
    Touch();
    auto* w = static_cast<TimerWidget*>(widget_);
    return w && w->timer.isActive();
}

}  // namespace platform
