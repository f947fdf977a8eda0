#include "platform/text_codec.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace platform {
namespace {

bool isAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// An open conversion per direction and thread: opening one costs far more than converting
// a line, and a listing converts thousands of lines.
iconv_t conversion(const char* to, const char* from) {
    struct Cache {
        struct Slot {
            const char* to;
            const char* from;
            iconv_t cd;
        };
        std::vector<Slot> slots;
        ~Cache() {
            for (const Slot& s : slots) iconv_close(s.cd);
        }
    };
    thread_local Cache cache;
    for (const auto& s : cache.slots)
        if (s.to == to && s.from == from) {
            iconv(s.cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
            return s.cd;
        }
    iconv_t cd = iconv_open(to, from);
    if (cd != reinterpret_cast<iconv_t>(-1)) cache.slots.push_back({to, from, cd});
    return cd;
}

// One iconv conversion over the whole input. With `lenient`, an invalid or
// truncated sequence is replaced by `replacement` and the input advances by one byte.
// Both encodings agree on ASCII, which needs no conversion at all.
std::optional<std::string> convert(const char* to, const char* from, std::string_view input,
                                   bool lenient, std::string_view replacement) {
    if (isAscii(input)) return std::string(input);
    iconv_t cd = conversion(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out;
    out.reserve(input.size() * 3 / 2 + 16);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char buffer[4096];
    bool failed = false;
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
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
