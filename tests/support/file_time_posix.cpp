#include "tests/support/file_time.h"

#include <chrono>

namespace testsupport {

void setModificationTime(const std::filesystem::path& path, std::int64_t seconds, long nanoseconds) {
    using namespace std::chrono;
    const auto sys = sys_time<std::chrono::nanoseconds>(duration_cast<std::chrono::nanoseconds>(std::chrono::seconds(seconds)) +
                                                        std::chrono::nanoseconds(nanoseconds));
    std::filesystem::last_write_time(path, file_clock::from_sys(sys));
}

std::pair<std::int64_t, long> modificationTime(const std::filesystem::path& path) {
    using namespace std::chrono;
    const auto sys = file_clock::to_sys(std::filesystem::last_write_time(path));
    const auto ns = duration_cast<std::chrono::nanoseconds>(sys.time_since_epoch()).count();
    return {ns / 1000000000, static_cast<long>(ns % 1000000000)};
}

}  // namespace testsupport
