#include "tests/support/fixtures.h"

#include <string>

namespace testsupport {

std::filesystem::path fixturesDir() { return std::filesystem::path(PIMINGBAO_FIXTURES_DIR); }

bool fixturesAvailable() { return std::filesystem::exists(fixturesDir() / "manifest.json"); }

std::filesystem::path fixture(std::string_view name) { return fixturesDir() / std::string(name); }

}  // namespace testsupport
