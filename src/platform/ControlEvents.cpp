#include "platform/ControlEvents.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QObject>
#include <QWidget>

#include "platform/Control.h"
#include "platform/DroppedFiles.h"
#include "platform/InputCodes.h"
#include "platform/Units.h"

namespace platform {

namespace {

// Turns a control widget's events into the control's handlers.
class ControlFilter : public QObject {
  public:
    explicit ControlFilter(Control& control) : QObject(control.WidgetIfLoaded()), c_(control) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        (void)watched;
        switch (event->type()) {
            case QEvent::KeyPress: {
                auto* ke = static_cast<QKeyEvent*>(event);
                int key = KeyAsciiOf(*ke);
                if (key != 0 && c_.KeyPress) {
                    c_.KeyPress(key);
                    // Esc stops here: a key goes to the focused control only.
                    return key == 0 || KeyAsciiOf(*ke) == 27;
                }
                return false;
            }
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseMove: {
                auto* me = static_cast<QMouseEvent*>(event);
                float x = static_cast<float>(PixelsToTwips(static_cast<int>(me->position().x())));
                float y = static_cast<float>(PixelsToTwips(static_cast<int>(me->position().y())));
                int shift = ShiftOf(me->modifiers());
                if (event->type() == QEvent::MouseButtonPress) {
                    if (c_.MouseDown)
                        c_.MouseDown(ButtonOf(me->button()), shift, x, y);
                } else if (event->type() == QEvent::MouseMove) {
                    if (c_.MouseMove)
                        c_.MouseMove(ButtonOf(me->buttons()), shift, x, y);
                } else {
                    if (c_.MouseUp)
                        c_.MouseUp(ButtonOf(me->button()), shift, x, y);
                    // The handler may have unloaded the form: its widgets are gone.
                    if (!c_.WidgetIfLoaded())
                        return true;
                    if (c_.Click && !c_.WidgetIfLoaded()->inherits("QAbstractButton") &&
                        me->button() == Qt::LeftButton &&
                        c_.WidgetIfLoaded()->rect().contains(me->position().toPoint())) {
                        c_.Click();
                    }
                }
                return false;
            }
            case QEvent::MouseButtonDblClick:
                if (c_.DblClick)
                    c_.DblClick();
                return false;
            case QEvent::DragEnter:
            case QEvent::DragMove:
                // A control that takes no drops leaves the drag to the form beneath.
                if (TakesDrops()) {
                    AcceptAsCopy(static_cast<QDropEvent*>(event));
                } else {
                    static_cast<QDropEvent*>(event)->ignore();
                }
                return true;
            case QEvent::Drop:
                if (TakesDrops()) {
                    DeliverDrop(static_cast<QDropEvent*>(event), c_.OLEDragDrop);
                } else {
                    static_cast<QDropEvent*>(event)->ignore();
                }
                return true;
            default:
                return false;
        }
    }

  private:
    bool TakesDrops() const { return c_.OLEDropMode() == 1 && c_.OLEDragDrop; }

    Control& c_;
};

}  // namespace

QObject* NewControlFilter(Control& control) {
    return new ControlFilter(control);
}

}  // namespace platform
