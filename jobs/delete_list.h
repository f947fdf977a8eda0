#pragma once
// The delete list of the clean job: the typed text cut into entry names. Which entries a
// name takes is the archiver's rule alone; the jobs ask it, even for a dry run.
#include <string>
#include <string_view>
#include <vector>

namespace jobs {

// Lines split at CR LF or LF, blanks (also the ideographic blank U+3000) around each
// name trimmed, empty lines dropped; the order of the lines is kept.
std::vector<std::string> deleteListNames(std::string_view text);

}  // namespace jobs
