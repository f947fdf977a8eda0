#pragma once
// MS-DOS date and time as RAR 1.5-4.x headers keep it: local time of the machine,
// 2-second steps, years 1980-2107. Finer parts live in the EXT_TIME field.
#include <cstdint>
#include <optional>

namespace rar {

// Times before 1980 clamp to 1980-01-01 00:00:00, times after 2107 to the last value.
std::uint32_t dosTimeFromUnix(std::int64_t unixSeconds);
// Nothing for a value that names no valid date.
std::optional<std::int64_t> unixFromDosTime(std::uint32_t dosTime);

}  // namespace rar
