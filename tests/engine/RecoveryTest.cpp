// After a wipe, the raw device holds no copy of the file's data.
#include <gtest/gtest.h>

#include <QFile>

#include "engine/Dialog.h"
#include "engine/ProgressWindow.h"
#include "engine/Wipe.h"
#include "support/MountSupport.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

class Recovery : public EngineTest {
  protected:
    FakeMainWindow form1;
    BoxRecorder boxes;
    TempFolder folder;
};

TEST_F(Recovery, TheRawImageHoldsNoCopyOfTheMarker) {
    const QString image = folder.File(QStringLiteral("disk.img"));
    const QString mnt = folder.File(QStringLiteral("mnt"));
    ASSERT_NO_FATAL_FAILURE(MountExt4Image(image, mnt, 24));
    if (IsSkipped())
        return;

    const QByteArray marker("QX-MARKER-5e1f0c2b-");
    for (int method : {1, 2}) {
        SCOPED_TRACE(method);
        QByteArray data;
        while (data.size() < 96 * 1024) data += marker + QByteArray::number(method);
        const QString path = mnt + QStringLiteral("/secret%1.txt").arg(method);
        ASSERT_NO_FATAL_FAILURE(WriteSynced(path, data));
        ASSERT_TRUE(RunTool(QStringLiteral("sync"), {}));
        engine::WipeFile(path, static_cast<std::int16_t>(method));
        EXPECT_FALSE(QFile::exists(path));
        EXPECT_TRUE(boxes.boxes.empty());
        engine::Dialog().Unload();
    }
    ExpectImageHoldsNo(mnt, image, marker);
}

}  // namespace
