#include "platform/terminal_output.h"
#include "platform/text_codec.h"

namespace platform {

std::optional<std::string> encodeForCodePage(std::string_view utf8, unsigned codePage) {
    switch (codePage) {
        case 936:
        case 54936:
            return encodeGb18030Lossy(utf8);
        case 65001:
            return std::string(utf8);
        default:
            return std::nullopt;
    }
}

}  // namespace platform
