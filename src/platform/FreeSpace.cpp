#include "platform/FreeSpace.h"

#include <limits>

namespace platform {

namespace {
hooks::FreeSpaceQuery& Query() {
    static hooks::FreeSpaceQuery query;
    return query;
}
}  // namespace

namespace hooks {
void SetFreeSpaceQuery(FreeSpaceQuery query) {
    Query() = std::move(query);
}
}  // namespace hooks

std::optional<std::uint64_t> TotalFreeBytes(const QString& folder) {
    if (auto hooked = detail::HookedTotalFreeBytes(folder))
        return *hooked;
    return detail::SystemTotalFreeBytes(folder);
}

namespace detail {
std::optional<std::optional<std::uint64_t>> HookedTotalFreeBytes(const QString& folder) {
    if (!Query())
        return std::nullopt;
    return Query()(folder);
}

std::uint64_t FreeBlockBytes(std::uint64_t blocks, std::uint64_t blockSize) {
    if (blockSize != 0 && blocks > std::numeric_limits<std::uint64_t>::max() / blockSize)
        return std::numeric_limits<std::uint64_t>::max();
    return blocks * blockSize;
}
}  // namespace detail

}  // namespace platform
