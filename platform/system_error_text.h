#pragma once
// The system's reasons that a person can act on, in Chinese: no permission, not found, a
// name too long, a full disk, a file another program holds, a read-only file system. Any
// other reason keeps the system's own words, in brackets after a Chinese lead.
#include <string>
#include <system_error>

namespace platform {

std::string describeSystemError(const std::error_code& error);

}  // namespace platform
