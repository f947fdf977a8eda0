#pragma once
// The myrar program without its main(): banner, command line, list files, dispatch.
#include <string>
#include <vector>

#include "archiver/console/console_io.h"

namespace console {

// `arguments` without the program name, UTF-8. Returns the process exit code.
int runMyrar(const std::vector<std::string>& arguments, ConsoleIo& io);

// The program's arguments without its name, UTF-8 (on Windows taken from the wide command
// line); an argument that is not valid UTF-8 is read as GB18030.
std::vector<std::string> argumentsAsUtf8(int argc, const char* const* argv);

}  // namespace console
