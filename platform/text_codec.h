#pragma once
// Conversion between the program's inner UTF-8 text and GB18030, the superset of
// GBK used by the settings files, the archiver's output and its exchange files.
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Exact conversion; nothing when the input is not valid in the source encoding.
std::optional<std::string> gb18030ToUtf8(std::string_view gb18030);
std::optional<std::string> utf8ToGb18030(std::string_view utf8);

// Lenient forms for text shown to a person: an invalid byte becomes U+FFFD ("?"
// when encoding), so a damaged file still shows what can be read.
std::string decodeGb18030Lossy(std::string_view gb18030);
std::string encodeGb18030Lossy(std::string_view utf8);

bool isValidUtf8(std::string_view text);

}  // namespace platform
