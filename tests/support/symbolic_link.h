#pragma once
// Symbolic links for tests, where the system lets a test make them: Windows wants a
// privilege or developer mode for them, and Wine makes none at all.
#include <filesystem>
#include <string>

namespace testsupport {

// Makes `link` point at `target` (taken relative to the link's folder unless absolute);
// false, with the reason in `whyNot`, when this system does not make one.
bool createSymbolicLink(const std::filesystem::path& target, const std::filesystem::path& link, bool toFolder,
                        std::string& whyNot);

}  // namespace testsupport

// Skips the test when the system makes no symbolic links.
#define CREATE_SYMBOLIC_LINK_OR_SKIP(target, link, toFolder)                                           \
    do {                                                                                               \
        std::string whyNoLink_;                                                                        \
        if (!::testsupport::createSymbolicLink((target), (link), (toFolder), whyNoLink_)) GTEST_SKIP() << whyNoLink_; \
    } while (0)
