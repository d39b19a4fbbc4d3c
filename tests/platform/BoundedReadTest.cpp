// The bounded read of the settings and language files: it returns the start of
// the file and reads nothing beyond it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <QByteArray>
#include <cstdlib>
#include <cstring>

#include "platform/Files.h"
#include "support/TestSupport.h"

namespace {

// The bytes this thread has read so far (the kernel's count of what read(2)
// returned), less what reading the count itself cost.
class ReadCount {
  public:
    long long Now() {
        const int fd = ::open("/proc/thread-self/io", O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return -1;
        char text[512];
        const ssize_t n = ::read(fd, text, sizeof text - 1);
        ::close(fd);
        if (n <= 0)
            return -1;
        text[n] = 0;
        const char* at = std::strstr(text, "rchar: ");
        if (!at)
            return -1;
        const long long count = std::strtoll(at + 7, nullptr, 10) - own_;
        own_ += n;
        return count;
    }

  private:
    long long own_ = 0;
};

TEST(BoundedReadTest, TheStartOfTheFileAndNotAByteMore) {
    testsupport::TempFolder folder;
    QByteArray content;
    for (int i = 0; content.size() < 300000; ++i) content += QByteArray::number(i) + ',';
    const QString path = folder.Write(QStringLiteral("big.lng"), content);
    ReadCount count;
    if (count.Now() < 0)
        GTEST_SKIP() << "the kernel does not count this thread's reads (/proc/thread-self/io)";
    // Below, at and past the size of a read, and past the end of the file.
    for (long long bound : {1LL, 100LL, 65536LL, 65537LL, 200000LL, 1LL << 20}) {
        SCOPED_TRACE(bound);
        const long long before = count.Now();
        const QByteArray start = platform::ReadFileStart(path, bound);
        const long long read = count.Now() - before;
        const long long expected = std::min<long long>(bound, content.size());
        EXPECT_TRUE(start == content.left(static_cast<qsizetype>(expected)));
        EXPECT_EQ(read, expected) << "bytes read from the file";
    }
}

}  // namespace
