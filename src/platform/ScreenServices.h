// What the widget side lends the services that build on Qt Core alone from the
// screen: the paint throttle and the screen's pointer. Application.cpp installs
// them; only the widget side includes this.
#pragma once

namespace platform::widgets {

void ThrottlePaints();
void ShowScreenPointer(int previous, int pointer);

}  // namespace platform::widgets
