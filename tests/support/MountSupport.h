// File systems of a test's own: a private mount namespace, an ext4 file system
// in a loop image, the size check of a small tmpfs, and the command-line tools
// that make them.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <string>

namespace testsupport {

// Runs a command-line tool to its end; true when it exited normally with 0.
// What it printed (output and errors together) goes to *output.
bool RunTool(const QString& program, const QStringList& args, QString* output = nullptr);

// Moves this process into a mount namespace of its own in which every mount is
// private: what the test mounts no one else sees, and it goes with the process.
// Once in it, the process stays there. False, with the reason, when that cannot
// be done here (it needs root).
bool EnterPrivateMounts(std::string* reason);

// Makes an ext4 file system of `mib` MiB in the image file and mounts it on the
// folder (made when missing) by a loop device, in the private mount namespace.
// Fails the test when the image cannot be made, skips it when there are no
// private mounts, no mkfs.ext4 or no loop device here, and asserts that what the
// folder then shows is that small ext4 file system. Call it inside
// ASSERT_NO_FATAL_FAILURE and return when the test IsSkipped().
// `options` go to mkfs.ext4.
void MountExt4Image(const QString& image, const QString& folder, int mib,
                    const QStringList& options = {});

// The size of the tmpfs the folder is on, or -1 when it is on another file system.
long long TmpfsSize(const QString& folder);
// Asserts that the folder is on a tmpfs of at most `largest` bytes, as a test
// checks before it fills one. Call it inside ASSERT_NO_FATAL_FAILURE.
void AssertSmallTmpfs(const QString& folder, long long largest);

// Unmounts the folder and checks, byte by byte, that the image file holds no
// copy of the marker.
void ExpectImageHoldsNo(const QString& folder, const QString& image, const QByteArray& marker);

// Writes the file and waits until its bytes are on the device.
void WriteSynced(const QString& path, const QByteArray& data);

}  // namespace testsupport
