#include "app/Main.h"

#include <QApplication>

#include "app/Form1.h"
#include "app/MainArtwork.h"
#include "platform/Events.h"

namespace app {

void Main() {
    // Qt draws its widgets in the platform's style without being asked, so there
    // are no visual styles to enable here. The icon also goes to the application,
    // for the windows that have none of their own.
    QApplication::setWindowIcon(ProgramIcon());
    platform::SetScreenMousePointer(platform::pointer::Hourglass);
    Form1().Load();
    Form1().Show();
    platform::SetScreenMousePointer(platform::pointer::Default);
}

}  // namespace app
