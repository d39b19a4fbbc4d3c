// The progress window's close box, when its close comes as a run ends.
#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include "OperationFixture.h"
#include "engine/Dialog.h"
#include "platform/Events.h"

namespace apptest {
namespace {

class ProgressCloseTest : public OperationTest {};

// A close that reaches the progress window after the run has unloaded it, while
// the window only waits to be deleted (here while the completion box is up),
// must not load the window again with the cancel flag set: the next drop would
// then wipe nothing.
TEST_F(ProgressCloseTest, ACloseThatComesAfterTheRunIsNotCarriedIntoTheNext) {
    const QString first = MakeFile(QStringLiteral("first.bin"), 20000);
    ChooseFiles({first});
    QPointer<QWidget> progress;
    platform::SetYieldHook([&] {
        if (!progress)
            progress = engine::Dialog().Window();
    });
    bool closed = false;
    boxes.onBox = [&](const testsupport::ShownBox& box) {
        if (box.prompt.startsWith(QStringLiteral("E17")) && progress && progress->windowHandle()) {
            ASSERT_FALSE(engine::Dialog().IsLoaded());
            progress->windowHandle()->close();
            closed = true;
        }
    };
    form().Command1_Click();
    platform::SetYieldHook(nullptr);
    boxes.onBox = nullptr;
    QCoreApplication::processEvents();
    ASSERT_TRUE(closed) << "the close was not delivered";
    EXPECT_FALSE(QFileInfo::exists(first));
    EXPECT_FALSE(engine::Dialog().IsLoaded());
    EXPECT_EQ(engine::Annullato, 0);

    const QString next = MakeFile(QStringLiteral("next.bin"), 300);
    boxes.boxes.clear();
    DragAndDrop(form().Window(), Background(6000, 5300), QStringList{next}, kAllActions);
    QCoreApplication::processEvents();
    EXPECT_FALSE(QFileInfo::exists(next));
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].prompt, QStringLiteral("E17"));
}

}  // namespace
}  // namespace apptest
