#include <ctime>

#include "archiver/rar/rar4_dos_time.h"

namespace rar {

std::uint32_t dosTimeFromUnix(std::int64_t unixSeconds) {
    const __time64_t t = static_cast<__time64_t>(unixSeconds);
    std::tm tm{};
    if (_localtime64_s(&tm, &t) != 0 || tm.tm_year < 80) return (1u << 21) | (1u << 16);
    if (tm.tm_year > 207) return 0xFF9FBF7Du;
    return (static_cast<std::uint32_t>(tm.tm_year - 80) << 25) | (static_cast<std::uint32_t>(tm.tm_mon + 1) << 21) |
           (static_cast<std::uint32_t>(tm.tm_mday) << 16) | (static_cast<std::uint32_t>(tm.tm_hour) << 11) |
           (static_cast<std::uint32_t>(tm.tm_min) << 5) | static_cast<std::uint32_t>(tm.tm_sec / 2);
}

std::optional<std::int64_t> unixFromDosTime(std::uint32_t dosTime) {
    std::tm tm{};
    tm.tm_year = static_cast<int>(dosTime >> 25) + 80;
    tm.tm_mon = static_cast<int>((dosTime >> 21) & 0x0F) - 1;
    tm.tm_mday = static_cast<int>((dosTime >> 16) & 0x1F);
    tm.tm_hour = static_cast<int>((dosTime >> 11) & 0x1F);
    tm.tm_min = static_cast<int>((dosTime >> 5) & 0x3F);
    tm.tm_sec = static_cast<int>(dosTime & 0x1F) * 2;
    if (tm.tm_mon < 0 || tm.tm_mon > 11 || tm.tm_mday < 1 || tm.tm_hour > 23 || tm.tm_min > 59 || tm.tm_sec > 59)
        return std::nullopt;
    tm.tm_isdst = -1;
    const __time64_t t = _mktime64(&tm);
    if (t == -1) return std::nullopt;
    return static_cast<std::int64_t>(t);
}

}  // namespace rar
