#pragma once
// Unpredictable bytes from the operating system's own generator, for salts and IVs.
// Asking the system is both cheaper and safer than seeding a generator of our own: a
// gatherer that polls system statistics for entropy takes long on every start of a
// command, and under Wine it made the server walk every process's handles.
#include <cstdint>
#include <span>

#include "platform/status.h"

namespace platform {

Status fillWithSystemRandom(std::span<std::uint8_t> out);

}  // namespace platform
