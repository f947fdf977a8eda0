#pragma once
// What pimingbao-cli wrote into a redirected standard output, as UTF-8. On Windows it
// writes in its console's code page, and the console a test's child gets starts with the
// system's OEM code page (936 under the Chinese locale the Windows tests run in).
#include <string>

namespace testsupport {

std::string utf8FromRedirectedOutput(const std::string& bytes);

}  // namespace testsupport
