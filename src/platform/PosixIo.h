// The pieces of file access that the POSIX implementations of the file, fill-file
// and folder layers share. Internal to the platform layer.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

namespace platform::posix {

// A path in the file system's own byte encoding.
QByteArray NativePath(const QString& path);

// Writes every byte, at *offset when given (advanced by what was written, also
// when a later part fails), else at the file position; a write that makes no
// progress is a full disk. Throws the program's error on failure.
void WriteAll(int fd, const void* data, std::size_t size, std::int64_t* offset);

// Flushes the file's data to the device through the fault seam and the flush
// observer; a failed flush is an error (52 when no file is open).
void SyncDescriptor(int fd, const QString& path);

}  // namespace platform::posix
