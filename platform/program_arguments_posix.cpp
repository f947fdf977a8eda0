#include "platform/program_arguments.h"

namespace platform {

// The bytes as the caller passed them; on a UTF-8 system they are UTF-8 already.
std::vector<std::string> programArguments(int argc, const char* const* argv) {
    return std::vector<std::string>(argv, argv + argc);
}

}  // namespace platform
