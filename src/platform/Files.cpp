// The file layer's test hooks, which every system's files read alike.
#include "platform/Files.h"

#include <atomic>
#include <utility>

namespace platform {

namespace {

hooks::FaultInjector& Injector() {
    static hooks::FaultInjector injector;
    return injector;
}

hooks::WriteObserver& Observer() {
    static hooks::WriteObserver observer;
    return observer;
}

hooks::SyncObserver& FlushObserver() {
    static hooks::SyncObserver observer;
    return observer;
}

hooks::WritebackObserver& WritebackSeen() {
    static hooks::WritebackObserver observer;
    return observer;
}

std::atomic<std::int64_t> g_forcedWindow{0};

// Set by a test.
bool g_forcedStepwise = false;

}  // namespace

namespace hooks {
void SetFaultInjector(FaultInjector injector) {
    Injector() = std::move(injector);
}
void SetWriteObserver(WriteObserver observer) {
    Observer() = std::move(observer);
}
void SetSyncObserver(SyncObserver observer) {
    FlushObserver() = std::move(observer);
}
void SetStepwiseResolution(bool on) {
    g_forcedStepwise = on;
}
void SetWritebackObserver(WritebackObserver observer) {
    WritebackSeen() = std::move(observer);
}
void SetWritebackWindow(std::int64_t bytes) {
    g_forcedWindow = bytes;
}
}  // namespace hooks

namespace detail {

hooks::Fault InjectedFault(hooks::FileOp op, const QString& path) {
    return Injector() ? Injector()(op, path) : hooks::Fault::None;
}

void ObserveWrite(const QString& path, std::int64_t offset, const unsigned char* data,
                  std::size_t size) {
    if (Observer())
        Observer()(path, offset, data, size);
}

void ObserveSync(const QString& path) {
    if (FlushObserver())
        FlushObserver()(path);
}

void ObserveWriteback(const QString& path, std::int64_t offset, std::int64_t length) {
    if (WritebackSeen())
        WritebackSeen()(path, offset, length);
}

std::int64_t ForcedWritebackWindow() {
    return g_forcedWindow.load();
}

bool StepwiseResolution() {
    return g_forcedStepwise;
}

}  // namespace detail

}  // namespace platform
