#pragma once
// Text files in the encodings people save them in: Notepad writes UTF-8 (with or without
// a byte-order mark) or UTF-16 with a mark, older editors and the program's own files GBK.
// A file is read in whichever of these it holds and can be written back the same way, so
// editing it in the window never changes what the user chose.
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace platform {

enum class TextEncoding {
    Gb18030,      // GBK and its superset; also what a new file is written in
    Utf8,         // no byte-order mark
    Utf8WithBom,
    Utf16Le,      // always with its byte-order mark
    Utf16Be,
};

struct DecodedText {
    std::string text;  // UTF-8, line ends as in the file
    TextEncoding encoding = TextEncoding::Gb18030;

    bool operator==(const DecodedText&) const = default;
};

// A byte-order mark decides. Without one, text that is valid UTF-8 and holds a character
// beyond ASCII is UTF-8: GBK text is almost never valid UTF-8, while text of ASCII alone
// reads the same either way and counts as GBK, the default. A file that fits none of them
// is refused with a message that says why (never shown as garbled characters); the message
// does not name the file.
Result<DecodedText> decodeTextFile(std::string_view bytes);

// The bytes of `utf8` in `encoding`, its byte-order mark included.
std::string encodeTextFile(std::string_view utf8, TextEncoding encoding);

// The whole file decoded; a message that names the file when it cannot be read or decoded.
Result<DecodedText> readTextFile(const std::filesystem::path& file);

}  // namespace platform
