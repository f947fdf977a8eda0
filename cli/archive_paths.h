#pragma once
// The archives a command line names: a PATH that is a file is taken as it is, a folder is
// collected with the same walk as the window's "浏览...". Every path is made absolute
// first, since the program then works in its own working directory; a path named twice
// is taken once.
#include <string>
#include <vector>

#include "platform/status.h"

namespace cli {

platform::Result<std::vector<std::string>> collectArchives(const std::vector<std::string>& paths);

}  // namespace cli
