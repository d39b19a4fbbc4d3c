// The paths a drag's addresses name: local files only, each named faithfully or
// counted as one that cannot be named.
#include <gtest/gtest.h>

#include <QUrl>

#include "platform/DroppedFiles.h"

namespace {

QUrl Tolerant(const char* address) {
    return QUrl(QString::fromLatin1(address), QUrl::TolerantMode);
}

TEST(DroppedFilesTest, EachAddressGivesItsPathOrIsCountedOrIsLeftOut) {
    struct Case {
        const char* address;
        const char* path;  // the path in Files, or nullptr
        int unnamed;       // counted as a local item no string names
    } cases[] = {
        {"file:///tmp/a.txt", "/tmp/a.txt", 0},
        {"file:///tmp/with%20space", "/tmp/with space", 0},
        {"file:///tmp/caf%C3%A9", "/tmp/caf\u00e9", 0},
        // A trailing separator belongs to no name; the root keeps its own.
        {"file:///tmp/tree/", "/tmp/tree", 0},
        {"file:///tmp/tree//", "/tmp/tree", 0},
        {"file:///tmp/tree:/", "/tmp/tree:", 0},
        {"file:///", "/", 0},
        // Not valid UTF-8: its stand-in would name another file.
        {"file:///tmp/a%FF", nullptr, 1},
        // NUL, or a "#" or "?" the source did not escape: the rest names another file.
        {"file:///tmp/notes%002", nullptr, 1},
        {"file:///tmp/notes#2", nullptr, 1},
        {"file:///tmp/notes?2", nullptr, 1},
        // Not a local file: neither a path nor counted.
        {"https://example.org/a.txt", nullptr, 0},
        {"file://otherhost/tmp/a.txt", nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        const platform::DataObject data = platform::DroppedFiles({Tolerant(c.address)});
        EXPECT_EQ(data.Files, c.path ? QStringList{QString::fromUtf8(c.path)} : QStringList{});
        EXPECT_EQ(data.Unnamed, c.unnamed);
    }
}

TEST(DroppedFilesTest, TheOrderOfTheDragIsKeptAndTheLeftOutAreCounted) {
    const platform::DataObject data = platform::DroppedFiles(
        {Tolerant("file:///b"), Tolerant("file:///x%FF"), Tolerant("https://example.org/"),
         Tolerant("file:///a"), Tolerant("file:///y#1")});
    EXPECT_EQ(data.Files, (QStringList{QStringLiteral("/b"), QStringLiteral("/a")}));
    EXPECT_EQ(data.Unnamed, 2);
}

}  // namespace
