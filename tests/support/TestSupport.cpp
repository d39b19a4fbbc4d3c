#include "support/TestSupport.h"

#include <QDir>
#include <QFile>

#include "engine/Dialog.h"
#include "lang/Testi.h"
#include "platform/Events.h"
#include "platform/Files.h"
#include "platform/Messages.h"

namespace testsupport {

TempFolder::TempFolder() { EXPECT_TRUE(dir_.isValid()); }

QString TempFolder::File(const QString& name) const { return dir_.filePath(name); }

QString TempFolder::Write(const QString& name, const QByteArray& content) const {
    QString path = File(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    EXPECT_EQ(f.write(content), content.size());
    return path;
}

QStringList TempFolder::Entries() const {
    return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                                       QDir::System);
}

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

BoxRecorder::BoxRecorder(int a) : answer(a) {
    platform::SetMsgBoxHandler([this](const QString& p, int s, const QString& t) {
        boxes.push_back({p, s, t});
        if (onBox) onBox(boxes.back());
        return answer;
    });
}

BoxRecorder::~BoxRecorder() { platform::SetMsgBoxHandler(nullptr); }

FakeMainWindow::FakeMainWindow() { engine::SetMainWindow(this); }

FakeMainWindow::~FakeMainWindow() { engine::SetMainWindow(nullptr); }

WriteRecorder::WriteRecorder() {
    platform::hooks::SetWriteObserver(
        [this](const QString& path, std::int64_t offset, const unsigned char* data,
               std::size_t size) {
            writes.push_back({path, offset,
                              QByteArray(reinterpret_cast<const char*>(data),
                                         static_cast<qsizetype>(size))});
        });
}

WriteRecorder::~WriteRecorder() { platform::hooks::SetWriteObserver(nullptr); }

void ResetEngineState() {
    engine::Annullato = 0;
    engine::Dialog().Unload();
    platform::SetYieldHook(nullptr);
    platform::hooks::SetFaultInjector(nullptr);
    platform::hooks::SetWriteObserver(nullptr);
}

void FillMarkedTexts() {
    for (int i = 1; i < lang::kTextCount; ++i) {
        lang::Testi[i] = QStringLiteral("T%1").arg(i);
    }
}

}  // namespace testsupport
