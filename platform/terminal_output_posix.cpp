#include <iostream>

#include "platform/terminal_output.h"

namespace platform {

std::ostream& terminalOut() { return std::cout; }
std::ostream& terminalErr() { return std::cerr; }

}  // namespace platform
