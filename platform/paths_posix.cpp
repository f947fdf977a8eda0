#include "platform/paths.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <system_error>

namespace platform {

std::filesystem::path pathFromUtf8(std::string_view utf8) { return std::filesystem::path(std::string(utf8)); }

std::string utf8FromPath(const std::filesystem::path& path) { return path.string(); }

std::filesystem::path programDirectory() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path(ec);
    return exe.parent_path();
}

bool isDirectoryWritable(const std::filesystem::path& dir) {
    auto probe = dir / (".pimingbao-write-probe-" + std::to_string(::getpid()));
    {
        std::ofstream out(probe, std::ios::binary);
        if (!out) return false;
    }
    std::error_code ec;
    std::filesystem::remove(probe, ec);
    return true;
}

namespace {

std::filesystem::path xdgDirectory(const char* variable, const char* fallbackUnderHome) {
    std::filesystem::path base;
    if (const char* value = std::getenv(variable); value && *value == '/') {
        base = value;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = std::filesystem::path(home) / fallbackUnderHome;
    } else {
        base = std::filesystem::temp_directory_path();
    }
    auto dir = base / "pimingbao";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return dir;
}

}  // namespace

std::filesystem::path userStateDirectory() { return xdgDirectory("XDG_STATE_HOME", ".local/state"); }

std::filesystem::path userConfigDirectory() { return xdgDirectory("XDG_CONFIG_HOME", ".config"); }

}  // namespace platform
