#include "app/Main.h"
#include "platform/Application.h"
#include "platform/Shell.h"

int main(int argc, char** argv) {
    platform::Application app(argc, argv);
    // Only the real program may start other programs (the shutdown, the browser).
    platform::EnableStarts();
    app::Main();
    return platform::RunEventLoop();
}
