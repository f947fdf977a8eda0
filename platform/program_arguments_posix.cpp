#include "platform/program_arguments.h"

namespace platform {

// The bytes as the caller passed them; on a UTF-8 system they are UTF-8 already.
std::vector<std::string> programArguments(int argc, const char* const* argv) {
    return std::vector<std::string>(argv, argv + argc);
}

// Arguments are bytes here: any of them but NUL arrives as sent.
bool canPassAsArgument(std::string_view text) { return text.find('\0') == std::string_view::npos; }

}  // namespace platform
