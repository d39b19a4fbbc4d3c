#include "engine/Utilities.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "engine/MainWindowLink.h"
#include "platform/Currency.h"
#include "platform/FileInfo.h"
#include "platform/Files.h"
#include "platform/FreeSpace.h"
#include "platform/Shell.h"

namespace engine {

void ClearAttributes(const QString& Path, platform::TreeAnchor* beneath) {
    platform::SetNormalAttributes(Path, beneath);
}

bool EsisteCartella(const QString& path) {
    try {
        return platform::KindOf(path) == platform::FileKind::Folder;
    } catch (...) {
        return false;
    }
}

void Drive1_Change() {
    std::uint64_t freeBytes = 0;
    try {
        if (auto n = platform::TotalFreeBytes(MainWindow().SelectedDrive()))
            freeBytes = *n;
    } catch (...) {
    }
    try {
        MainWindow().Totale = FreeSpaceTotal(freeBytes);
    } catch (...) {
    }
}

platform::Currency FreeSpaceTotal(std::uint64_t freeBytes) {
    // The byte count is taken as a currency's raw ten-thousandths, then divided
    // by 1000: free bytes / 10,000,000 to the nearest ten-thousandth.
    const platform::Currency raw{static_cast<std::int64_t>(
        std::min<std::uint64_t>(freeBytes, std::numeric_limits<std::int64_t>::max()))};
    return platform::CurrencyFromDouble(raw.ToDouble() / 1000.0);
}

void ArrestaSistema() {
    for (const platform::CommandLine& line : platform::ShutdownCommandLines()) {
        try {
            (void)platform::StartDetached(line);
        } catch (...) {
        }
    }
}

}  // namespace engine
