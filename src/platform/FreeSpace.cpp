#include "platform/FreeSpace.h"

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
    if (Query())
        return Query()(folder);
    return detail::SystemTotalFreeBytes(folder);
}

}  // namespace platform
