// The fixtures that reach the progress window: only the tests with windows link them.
#include "support/TestSupport.h"

#include "engine/Dialog.h"
#include "engine/WipeSpace.h"
#include "platform/Application.h"
#include "platform/Events.h"
#include "platform/FileDialogs.h"
#include "platform/Files.h"
#include "platform/Monotonic.h"

namespace testsupport {

void ResetEngineState() {
    // The yield hook goes first: closing the window yields, and the hook may
    // refer to what the test has already freed.
    platform::SetYieldHook(nullptr);
    engine::Annullato = 0;
    platform::hooks::SetStepwiseResolution(false);
    engine::Dialog().Unload();
    platform::hooks::SetFaultInjector(nullptr);
    platform::hooks::SetWriteObserver(nullptr);
    platform::hooks::SetSyncObserver(nullptr);
    platform::hooks::SetWritebackObserver(nullptr);
    platform::hooks::SetWritebackWindow(0);
    platform::hooks::SetMonotonicClock(nullptr);
}

void ResetAllHooks() {
    ResetCoreHooks();
    platform::hooks::SetEndHandler(nullptr);
    platform::hooks::SetOpenDialogHook(nullptr);
    platform::hooks::SetFolderPickerHook(nullptr);
    engine::hooks::SetSpaceCountersStart(0, 0);
    engine::Dialog().Unload();
}

void ExpectCancelNotice(const BoxRecorder& boxes) {
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].prompt, QStringLiteral("T27"));
    EXPECT_EQ(boxes.boxes[0].title, QStringLiteral("T26"));
    EXPECT_EQ(boxes.boxes[0].style, 64);
    EXPECT_FALSE(engine::Dialog().IsLoaded());
}

}  // namespace testsupport
