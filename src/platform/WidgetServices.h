// What the widget side lends the services that build on Qt Core alone: the real
// message box, the paint throttle and the screen's pointer. Application.cpp
// installs them; only the widget side includes this.
#pragma once

#include <QString>

namespace platform::widgets {

int ShowMessageBox(const QString& prompt, int style, const QString& title);
void ThrottlePaints();
void ShowScreenPointer(int previous, int pointer);

}  // namespace platform::widgets
