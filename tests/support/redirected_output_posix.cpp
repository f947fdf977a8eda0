#include "tests/support/redirected_output.h"

namespace testsupport {

std::string utf8FromRedirectedOutput(const std::string& bytes) { return bytes; }

}  // namespace testsupport
