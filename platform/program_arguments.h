#pragma once
// The arguments a program was started with, as UTF-8 text.
#include <string>
#include <vector>

namespace platform {

// All of them, the program name first, as main() receives them. On Windows they are read
// from the wide command line instead of `argv`: the narrow arguments hold only what the
// system's ANSI code page can spell, so other characters would already be lost.
std::vector<std::string> programArguments(int argc, const char* const* argv);

}  // namespace platform
