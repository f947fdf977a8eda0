#include "tests/support/fixtures.h"

#include <string>
#include <system_error>

namespace testsupport {

// In the system's own form: on Windows a full name with its drive (under Wine the folder
// is on Z:), never one that starts with "/", which a Windows program reads as a switch.
std::filesystem::path fixturesDir() {
    std::error_code ec;
    auto dir = std::filesystem::absolute(std::filesystem::path(PIMINGBAO_FIXTURES_DIR), ec);
    if (ec) dir = std::filesystem::path(PIMINGBAO_FIXTURES_DIR);
    return dir.make_preferred();
}

bool fixturesAvailable() { return std::filesystem::exists(fixturesDir() / "manifest.json"); }

std::filesystem::path fixture(std::string_view name) { return fixturesDir() / std::string(name); }

}  // namespace testsupport
