#pragma once
// Standard output and standard error for text in UTF-8. A Windows console window shows
// bytes in its own code page (936 on a Chinese system), so there the text reaches it as
// UTF-16 and every name shows as it is; output into a file or a pipe stays UTF-8 bytes,
// as everywhere else.
#include <ostream>

namespace platform {

std::ostream& terminalOut();
std::ostream& terminalErr();

}  // namespace platform
