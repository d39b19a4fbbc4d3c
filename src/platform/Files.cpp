// The file layer's test hooks, which every system's files read alike.
#include "platform/Files.h"

#include <atomic>
#include <utility>

namespace platform {

namespace {

// The hook a test set, one for each of their types (they all differ); empty
// until a test sets it.
template <class Hook>
Hook& Hooked() {
    static Hook hook;
    return hook;
}

std::atomic<std::int64_t> g_forcedWindow{0};

// Set by a test.
bool g_forcedStepwise = false;

}  // namespace

namespace hooks {
void SetFaultInjector(FaultInjector injector) {
    Hooked<FaultInjector>() = std::move(injector);
}
void SetWriteObserver(WriteObserver observer) {
    Hooked<WriteObserver>() = std::move(observer);
}
void SetSyncObserver(SyncObserver observer) {
    Hooked<SyncObserver>() = std::move(observer);
}
void SetStepwiseResolution(bool on) {
    g_forcedStepwise = on;
}
void SetWritebackObserver(WritebackObserver observer) {
    Hooked<WritebackObserver>() = std::move(observer);
}
void SetWritebackWindow(std::int64_t bytes) {
    g_forcedWindow = bytes;
}
}  // namespace hooks

namespace detail {

hooks::Fault InjectedFault(hooks::FileOp op, const QString& path) {
    const auto& injector = Hooked<hooks::FaultInjector>();
    return injector ? injector(op, path) : hooks::Fault::None;
}

void ObserveWrite(const QString& path, std::int64_t offset, const unsigned char* data,
                  std::size_t size) {
    if (const auto& observer = Hooked<hooks::WriteObserver>())
        observer(path, offset, data, size);
}

void ObserveSync(const QString& path) {
    if (const auto& observer = Hooked<hooks::SyncObserver>())
        observer(path);
}

void ObserveWriteback(const QString& path, std::int64_t offset, std::int64_t length) {
    if (const auto& observer = Hooked<hooks::WritebackObserver>())
        observer(path, offset, length);
}

std::int64_t ForcedWritebackWindow() {
    return g_forcedWindow.load();
}

bool StepwiseResolution() {
    return g_forcedStepwise;
}

}  // namespace detail

}  // namespace platform
