#pragma once
// Reading what the archiver printed (GB18030, CR LF line ends) once it has ended. The raw
// bytes are decoded only here, never while they are being read from the pipe.
#include <string>
#include <string_view>
#include <vector>

namespace archiveroutput {

// The text as UTF-8; a byte that is not GB18030 becomes U+FFFD.
std::string decoded(std::string_view gb18030);

// The lines as UTF-8 without their line ends; a byte that is not GB18030 becomes U+FFFD.
std::vector<std::string> lines(std::string_view gb18030);

// The lines that say something: empty lines and the archiver's opening banner (its name
// line and the help line after it) left out.
std::vector<std::string> messageLines(std::string_view gb18030);

// The last line, a final line end ignored.
std::string lastLine(std::string_view gb18030);

// The message lines joined into one text for a status line or a terminal.
std::string joinedMessages(std::string_view gb18030);

}  // namespace archiveroutput
