#include "platform/text_codec.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace platform {
namespace {

// One iconv conversion over the whole input. With `lenient`, an invalid or
// truncated sequence is replaced by `replacement` and the input advances by one byte.
std::optional<std::string> convert(const char* to, const char* from, std::string_view input,
                                   bool lenient, std::string_view replacement) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out;
    out.reserve(input.size() * 3 / 2 + 16);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    std::vector<char> buffer(4096);
    bool failed = false;
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        size_t outLeft = buffer.size();
        size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), static_cast<size_t>(outPtr - buffer.data()));
        if (r != static_cast<size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        if (!lenient) {
            failed = true;
            break;
        }
        out.append(replacement);
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    if (failed) return std::nullopt;
    return out;
}

}  // namespace

std::optional<std::string> gb18030ToUtf8(std::string_view gb18030) {
    return convert("UTF-8", "GB18030", gb18030, false, {});
}

std::optional<std::string> utf8ToGb18030(std::string_view utf8) {
    if (!isValidUtf8(utf8)) return std::nullopt;
    return convert("GB18030", "UTF-8", utf8, false, {});
}

std::string decodeGb18030Lossy(std::string_view gb18030) {
    return *convert("UTF-8", "GB18030", gb18030, true, "\xEF\xBF\xBD");
}

std::string encodeGb18030Lossy(std::string_view utf8) {
    return *convert("GB18030", "UTF-8", utf8, true, "?");
}

}  // namespace platform
