#include "platform/FileSystems.h"

namespace platform::detail {

namespace {

struct KernelFileSystem {
    QLatin1StringView name;
    std::uint32_t number;  // 0: known by name only
};

constexpr KernelFileSystem kKernel[] = {
    {QLatin1StringView("proc"), 0x9fa0},
    {QLatin1StringView("sysfs"), 0x62656572},
    {QLatin1StringView("debugfs"), 0x64626720},
    {QLatin1StringView("tracefs"), 0x74726163},
    {QLatin1StringView("securityfs"), 0x73636673},
    {QLatin1StringView("cgroup"), 0x27e0eb},
    {QLatin1StringView("cgroup2"), 0x63677270},
    {QLatin1StringView("configfs"), 0x62656570},
    {QLatin1StringView("bpf"), 0xcafe4a11},
    {QLatin1StringView("efivarfs"), 0xde5e81e4},
    {QLatin1StringView("pstore"), 0x6165676c},
    {QLatin1StringView("selinuxfs"), 0xf97cff8c},
    {QLatin1StringView("smackfs"), 0x43415d53},
    {QLatin1StringView("binfmt_misc"), 0x42494e4d},
    {QLatin1StringView("fusectl"), 0x65735543},
    {QLatin1StringView("devpts"), 0x1cd1},
    {QLatin1StringView("mqueue"), 0x19800202},
    {QLatin1StringView("hugetlbfs"), 0x958458f6},
    {QLatin1StringView("autofs"), 0x0187},
    {QLatin1StringView("rpc_pipefs"), 0x67596969},
    {QLatin1StringView("nsfs"), 0x6e736673},
    // They report tmpfs's and ramfs's numbers.
    {QLatin1StringView("devtmpfs"), 0},
    {QLatin1StringView("rootfs"), 0},
};

}  // namespace

bool IsKernelFileSystem(const QString& type) {
    for (const KernelFileSystem& fs : kKernel) {
        if (type == fs.name)
            return true;
    }
    return false;
}

bool IsKernelFileSystemType(std::uint32_t number) {
    for (const KernelFileSystem& fs : kKernel) {
        if (fs.number != 0 && number == fs.number)
            return true;
    }
    return false;
}

bool IsMemoryFileSystemType(std::uint32_t number) {
    constexpr std::uint32_t kTmpfs = 0x01021994;
    constexpr std::uint32_t kRamfs = 0x858458f6;
    return number == kTmpfs || number == kRamfs;
}

std::uint32_t FileSystemTypeOf(long long field) {
    return static_cast<std::uint32_t>(static_cast<unsigned long long>(field) & 0xffffffffu);
}

bool IsCopyOnWriteType(std::uint32_t number) {
    constexpr std::uint32_t kBtrfs = 0x9123683e;
    constexpr std::uint32_t kBcachefs = 0xca451a4e;
    constexpr std::uint32_t kZfs = 0x2fc12fc1;
    return number == kBtrfs || number == kBcachefs || number == kZfs;
}

}  // namespace platform::detail
