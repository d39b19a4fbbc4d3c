// The real message box, which the widget side lends the services that build on
// Qt Core alone. Application.cpp installs it; only the widget side includes this.
#pragma once

#include <QString>

namespace platform::widgets {

int ShowMessageBox(const QString& prompt, int style, const QString& title);

}  // namespace platform::widgets
