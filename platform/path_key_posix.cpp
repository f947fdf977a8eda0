#include "platform/path_key.h"

namespace platform {

std::string pathKey(std::string_view utf8Path) { return std::string(utf8Path); }

}  // namespace platform
