#pragma once
// The archives a command line names: a PATH that is a file is taken as it is, a folder is
// collected with the same walk as the window's "浏览..." (each folder in the order NTFS keeps
// it). The PATHs themselves keep the order they were given in. Every path is made absolute
// first, since the program then works in its own working directory; a path named twice is
// taken once. A name the program cannot carry as text is left out and reported.
#include <string>
#include <vector>

#include "platform/status.h"
#include "ui/core/directory_walk.h"

namespace cli {

struct CollectedArchives {
    std::vector<std::string> archives;
    std::vector<SkippedName> skipped;
};

platform::Result<CollectedArchives> collectArchives(const std::vector<std::string>& paths);

// The line printed for a name left out.
std::string skippedNameLine(const SkippedName& skipped);

}  // namespace cli
