#include "engine/Run.h"

#include <utility>

namespace engine {

namespace {

WipeRun* g_current = nullptr;
// The flag outside a run.
std::int16_t g_annullato = 0;

std::function<void(std::int64_t)>& RunEndObserver() {
    static std::function<void(std::int64_t)> observer;
    return observer;
}

}  // namespace

CancelFlag Annullato;

CancelFlag& CancelFlag::operator=(std::int16_t value) {
    (g_current ? g_current->annullato_ : g_annullato) = value;
    return *this;
}

CancelFlag::operator std::int16_t() const {
    return g_current ? g_current->annullato_ : g_annullato;
}

WipeRun::WipeRun() : started_(g_current == nullptr) {
    if (started_)
        g_current = this;
}

WipeRun::~WipeRun() {
    if (!started_)
        return;
    g_current = nullptr;
    // Read after the run by whoever looks at the flag once it is over.
    g_annullato = annullato_;
    if (const auto& observer = RunEndObserver())
        observer(NotWiped());
}

WipeRun* WipeRun::Current() {
    return g_current;
}

void CountNotWiped(std::int64_t n) {
    if (WipeRun* run = WipeRun::Current())
        run->CountNotWiped(n);
}
void CountNotWiped(const QString& path) {
    if (WipeRun* run = WipeRun::Current())
        run->CountNotWiped(path);
}
void UncountNotWiped(const QString& path) {
    if (WipeRun* run = WipeRun::Current())
        run->UncountNotWiped(path);
}

namespace hooks {
void SetRunEndObserver(std::function<void(std::int64_t)> observer) {
    RunEndObserver() = std::move(observer);
}
}  // namespace hooks

}  // namespace engine
