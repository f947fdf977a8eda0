#pragma once
// The system's error texts in Chinese. The system speaks the language it was installed in
// (English on most servers and in Wine), but every text the user sees is Chinese: the
// errors people meet when working on files (no permission, not found, name too long, disk
// full, file in use, read-only medium) get a Chinese text of their own; any other error
// says its number and keeps the system's text in brackets, which is then the only detail.
#include <string>
#include <system_error>

namespace platform {

std::string describeSystemError(const std::error_code& error);
// An errno value (POSIX, or the C runtime's on Windows).
std::string describeErrno(int error);

}  // namespace platform
