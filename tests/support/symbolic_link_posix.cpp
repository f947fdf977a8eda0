#include "tests/support/symbolic_link.h"

#include <system_error>

namespace testsupport {

bool createSymbolicLink(const std::filesystem::path& target, const std::filesystem::path& link, bool toFolder,
                        std::string& whyNot) {
    std::error_code ec;
    if (toFolder) {
        std::filesystem::create_directory_symlink(target, link, ec);
    } else {
        std::filesystem::create_symlink(target, link, ec);
    }
    if (ec) whyNot = "cannot make the link " + link.string() + ": " + ec.message();
    return !ec;
}

}  // namespace testsupport
