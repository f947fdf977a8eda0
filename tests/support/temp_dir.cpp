#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

namespace testsupport {

TempDir::TempDir() {
    auto base = std::filesystem::temp_directory_path();
    std::string templ = (base / "pimingbao-test-XXXXXX").string();
    if (!::mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
    path_ = templ;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests may leave read-only folders behind; give write access back before removing.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec); !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    }
    std::filesystem::remove_all(path_, ec);
}

std::filesystem::path TempDir::write(std::string_view relativePath, std::string_view bytes) const {
    auto p = path_ / std::filesystem::path(std::string(relativePath));
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
}

}  // namespace testsupport
