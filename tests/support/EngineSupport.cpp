// The fixtures that reach the progress window: only the tests with windows link them.
#include "support/TestSupport.h"

#include "engine/Dialog.h"
#include "engine/Wipe.h"
#include "platform/Events.h"
#include "platform/Files.h"

namespace testsupport {

void ResetEngineState() {
    engine::Annullato = 0;
    engine::ResetNotWiped();
    platform::hooks::SetStepwiseResolution(false);
    engine::Dialog().Unload();
    platform::SetYieldHook(nullptr);
    platform::hooks::SetFaultInjector(nullptr);
    platform::hooks::SetWriteObserver(nullptr);
    platform::hooks::SetSyncObserver(nullptr);
    platform::hooks::SetWritebackObserver(nullptr);
    platform::hooks::SetWritebackWindow(0);
}

void ExpectCancelNotice(const BoxRecorder& boxes) {
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].prompt, QStringLiteral("T27"));
    EXPECT_EQ(boxes.boxes[0].title, QStringLiteral("T26"));
    EXPECT_EQ(boxes.boxes[0].style, 64);
    EXPECT_FALSE(engine::Dialog().IsLoaded());
}

}  // namespace testsupport
