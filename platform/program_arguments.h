#pragma once
// The arguments a program was started with, as UTF-8 text, and which texts a program
// started from here can receive as one argument.
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// All of them, the program name first, as main() receives them. On Windows they are read
// from the wide command line instead of `argv`: the narrow arguments hold only what the
// system's ANSI code page can spell, so other characters would already be lost.
std::vector<std::string> programArguments(int argc, const char* const* argv);

// Whether runProcess hands `text` to the child as one argument it reads back unchanged
// with programArguments. A NUL ends an argument everywhere; on Windows arguments travel
// as UTF-16, so only valid UTF-8 comes through.
bool canPassAsArgument(std::string_view text);

}  // namespace platform
