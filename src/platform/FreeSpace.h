// The free space of a file system.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace platform {

// All free bytes of the file system that holds `folder` (the blocks kept for the
// superuser included), or nothing when the query fails.
std::optional<std::uint64_t> TotalFreeBytes(const QString& folder);

namespace hooks {
// Tests answer the query with figures of their own. Called on the UI thread.
using FreeSpaceQuery = std::function<std::optional<std::uint64_t>(const QString& folder)>;
void SetFreeSpaceQuery(FreeSpaceQuery query);
}  // namespace hooks

namespace detail {
// The system's answer, without the test hook.
std::optional<std::uint64_t> SystemTotalFreeBytes(const QString& folder);
// The figure a test gave for the folder, when a test set the hook.
std::optional<std::optional<std::uint64_t>> HookedTotalFreeBytes(const QString& folder);
// Free blocks times their size; the largest count where that does not fit.
std::uint64_t FreeBlockBytes(std::uint64_t blocks, std::uint64_t blockSize);
}  // namespace detail

}  // namespace platform
