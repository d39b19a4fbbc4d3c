#include "engine/MainWindowLink.h"

#include <cassert>

namespace engine {

namespace {
MainWindowLink* g_window = nullptr;
}

void SetMainWindow(MainWindowLink* window) {
    g_window = window;
}

MainWindowLink& MainWindow() {
    assert(g_window && "the main window registers itself at start-up");
    return *g_window;
}

}  // namespace engine
