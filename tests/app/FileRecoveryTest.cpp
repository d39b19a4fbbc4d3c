// After the file wipe, the raw device holds no copy of the chosen files' data.
#include <QFile>
#include <QFileInfo>

#include "OperationFixture.h"
#include "support/MountSupport.h"

namespace apptest {
namespace {

using testsupport::RunTool;

class FileRecoveryTest : public OperationTest {};

TEST_F(FileRecoveryTest, TheRawImageHoldsNoCopyOfTheChosenFiles) {
    const QString image = folder_.File(QStringLiteral("disk.img"));
    const QString mnt = folder_.File(QStringLiteral("mnt"));
    ASSERT_NO_FATAL_FAILURE(testsupport::MountExt4Image(image, mnt, 32));
    if (IsSkipped())
        return;

    const QByteArray marker("QX-MARKER-9b3e7d41-");
    for (int method : {1, 2}) {
        SCOPED_TRACE(method);
        form().Combo1.SetListIndex(method);
        QStringList files;
        for (int size : {600, 40 * 1024, 3 * 1024 * 1024}) {
            QByteArray data;
            const QByteArray tag =
                marker + QByteArray::number(method) + "-" + QByteArray::number(size) + ";";
            while (data.size() < size) data += tag;
            data.truncate(size);
            const QString path = mnt + QStringLiteral("/secret-%1-%2.txt").arg(method).arg(size);
            ASSERT_NO_FATAL_FAILURE(testsupport::WriteSynced(path, data));
            files << path;
        }
        ASSERT_TRUE(RunTool(QStringLiteral("sync"), {}));
        ChooseFiles(files);
        boxes.boxes.clear();
        form().Command1_Click();
        for (const QString& f : files) EXPECT_FALSE(QFileInfo::exists(f));
        ASSERT_EQ(boxes.boxes.size(), 2u) << "the question and the completion box";
        EXPECT_EQ(boxes.boxes[1].prompt, QStringLiteral("E17     "));
    }
    testsupport::ExpectImageHoldsNo(mnt, image, marker);
}

}  // namespace
}  // namespace apptest
