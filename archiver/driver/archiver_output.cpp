#include "archiver/driver/archiver_output.h"

#include "platform/text_codec.h"

namespace archiveroutput {

std::string decoded(std::string_view gb18030) {
    if (auto exact = platform::gb18030ToUtf8(gb18030)) return *exact;
    return platform::decodeGb18030Lossy(gb18030);
}

std::vector<std::string> lines(std::string_view gb18030) {
    // Neither CR nor LF occurs inside a GB18030 character (trail bytes are 0x30 and up), so
    // the raw bytes can be cut at them before decoding.
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < gb18030.size()) {
        std::size_t end = gb18030.find('\n', start);
        std::size_t next = end == std::string_view::npos ? gb18030.size() : end + 1;
        if (end == std::string_view::npos) end = gb18030.size();
        std::string_view line = gb18030.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        out.push_back(decoded(line));
        start = next;
    }
    return out;
}

std::vector<std::string> messageLines(std::string_view gb18030) {
    std::vector<std::string> all = lines(gb18030);
    std::vector<std::string> out;
    // The archiver opens every run with an empty line, its name line and its help line.
    std::size_t i = 0;
    if (all.size() >= 3 && all[0].empty() && !all[1].empty() && !all[2].empty()) i = 3;
    for (; i < all.size(); ++i) {
        if (all[i].find_first_not_of(" \t") != std::string::npos) out.push_back(all[i]);
    }
    return out;
}

std::string lastLine(std::string_view gb18030) {
    if (gb18030.empty()) return {};
    std::vector<std::string> all = lines(gb18030);
    return all.empty() ? std::string() : all.back();
}

std::string joinedMessages(std::string_view gb18030) {
    std::string out;
    for (const auto& line : messageLines(gb18030)) {
        if (!out.empty()) out += "\n";
        out += line;
    }
    return out;
}

}  // namespace archiveroutput
