// The events of a control's widget, handed to the control's handlers.
#pragma once

class QObject;

namespace platform {

class Control;

// A filter for the control's widget that turns its keys, clicks, mouse moves and
// drops into the control's handlers; the widget owns it.
QObject* NewControlFilter(Control& control);

}  // namespace platform
