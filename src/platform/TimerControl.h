// The timer control of a form.
#pragma once

#include <functional>

#include "platform/Control.h"

namespace platform {

// A timer: ticks every Interval milliseconds while it is enabled and the
// interval is not 0. It has no look of its own.
class TimerControl : public Control {
  public:
    using Control::Control;

    int Interval() const;
    void SetInterval(int milliseconds);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    // Whether it is ticking now.
    bool Running() const;

    std::function<void()> Timer;

  protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void ResetProperties() override;
    void ApplyAll() override;

  private:
    void ApplyTimer();

    int interval_ = 0;
    bool enabled_ = true;
};

}  // namespace platform
