// One run at a time: while a run yields, a click, a shortcut or a drop that
// reaches the hidden main window starts nothing.
#include <QCoreApplication>

#include "OperationFixture.h"
#include "platform/DroppedFiles.h"
#include "platform/Events.h"
#include "platform/FileDialogs.h"

namespace apptest {
namespace {

class OneRunTest : public OperationTest {
  protected:
    void TearDown() override {
        platform::SetYieldHook(nullptr);
        platform::hooks::SetFolderPickerHook(nullptr);
        OperationTest::TearDown();
    }
};

TEST_F(OneRunTest, NoSecondRunStartsWhileOneRuns) {
    const QString chosen = MakeFile(QStringLiteral("a.bin"), 5000);
    const QString other = MakeFile(QStringLiteral("b.bin"), 300);
    int pickers = 0;
    platform::hooks::SetFolderPickerHook([&](const QString&) {
        ++pickers;
        return folder_.Path();
    });
    bool tried = false;
    platform::SetYieldHook([&] {
        if (tried)
            return;
        tried = true;
        // Every way a run starts, while this one runs.
        form().Command1_Click();
        form().Command2_Click();
        form().Command3_Click();
        platform::DataObject data;
        data.Files = {other};
        form().RilasciaFiles(
            data, platform::effect::Copy | platform::effect::Move | platform::effect::Link);
    });
    ChooseFiles({chosen});
    form().Command1_Click();
    ASSERT_TRUE(tried);
    EXPECT_EQ(asked.size(), 1u) << "one open dialog";
    EXPECT_EQ(pickers, 0);
    EXPECT_TRUE(Untouched(other, 300));
    ASSERT_EQ(boxes.boxes.size(), 2u) << "the question and the completion, nothing more";
    EXPECT_EQ(boxes.boxes[1].prompt, QStringLiteral("E17     "));
    // Once it has ended, the next run starts.
    platform::SetYieldHook(nullptr);
    boxes.boxes.clear();
    ChooseFiles({other});
    form().Command1_Click();
    EXPECT_FALSE(Untouched(other, 300));
    EXPECT_EQ(boxes.boxes.size(), 2u);
}

// What a run left not wiped ends with it: the next run counts only its own files.
TEST_F(OneRunTest, ARunsCountEndsWithTheRun) {
    const QString kept = folder_.Path() + QStringLiteral("/gone.bin");
    const QString first = MakeFile(QStringLiteral("a.bin"), 300);
    ChooseFiles({first, kept});
    form().Command1_Click();
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_TRUE(boxes.boxes[1].prompt.endsWith(QStringLiteral("E841"))) << "one file not wiped";
    EXPECT_EQ(runEnds_.NotWiped(), 1);

    boxes.boxes.clear();
    ChooseFiles({MakeFile(QStringLiteral("b.bin"), 300)});
    form().Command1_Click();
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].prompt, QStringLiteral("E17     "));
    EXPECT_EQ(runEnds_.NotWiped(), 0);
}

}  // namespace
}  // namespace apptest
