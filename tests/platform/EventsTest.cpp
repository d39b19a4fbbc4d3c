// A blocking call run while the events go on: what it promises of yields.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "platform/Events.h"

namespace {

// An event handler that yields while a blocking call runs (the free-space clock's
// tick does) yields nothing: the yield hook does not run.
TEST(WhileResponsive, AHandlerThatYieldsMeanwhileRunsNoYield) {
    int yields = 0;
    platform::SetYieldHook([&] { ++yields; });
    std::atomic<bool> handled{false};
    QTimer::singleShot(0, [&] {
        platform::DoEvents();
        handled = true;
    });
    platform::WhileResponsive([&] {
        // Until the handler ran on the window's thread (bounded, should it never).
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!handled && std::chrono::steady_clock::now() < until) std::this_thread::yield();
    });
    platform::SetYieldHook(nullptr);
    EXPECT_TRUE(handled);
    EXPECT_EQ(yields, 0);
    // Outside the call a yield is a yield.
    platform::SetYieldHook([&] { ++yields; });
    platform::DoEvents();
    platform::SetYieldHook(nullptr);
    EXPECT_EQ(yields, 1);
}

}  // namespace
