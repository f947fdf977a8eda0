#pragma once
// Standard output and standard error for text in UTF-8. A Windows console window shows
// bytes in its own code page (936 on a Chinese system), so there the text reaches it as
// UTF-16 and every name shows as it is. Output into a file or a pipe is what the console's
// `type` and `more`, and the programs a user pipes it into, read: on Windows, bytes in the
// console's output code page (GBK on a Chinese system), as the archiver writes them; UTF-8
// everywhere else.
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace platform {

std::ostream& terminalOut();
std::ostream& terminalErr();

// The bytes of `utf8` in a console output code page: GB18030 (of which GBK is the part a
// Chinese console shows) for 936 and 54936, the text unchanged for 65001. Nothing for a code
// page that only the system's own tables can convert.
std::optional<std::string> encodeForCodePage(std::string_view utf8, unsigned codePage);

}  // namespace platform
