#include "jobs/delete_list.h"

namespace jobs {
namespace {

constexpr std::string_view kIdeographicBlank = "\xE3\x80\x80";

std::string_view trimmed(std::string_view s) {
    while (true) {
        if (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) {
            s.remove_prefix(1);
        } else if (s.substr(0, kIdeographicBlank.size()) == kIdeographicBlank) {
            s.remove_prefix(kIdeographicBlank.size());
        } else {
            break;
        }
    }
    while (true) {
        if (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
            s.remove_suffix(1);
        } else if (s.size() >= kIdeographicBlank.size() &&
                   s.substr(s.size() - kIdeographicBlank.size()) == kIdeographicBlank) {
            s.remove_suffix(kIdeographicBlank.size());
        } else {
            break;
        }
    }
    return s;
}

}  // namespace

std::vector<std::string> deleteListNames(std::string_view text) {
    std::vector<std::string> names;
    while (!text.empty()) {
        auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        auto name = trimmed(line);
        if (!name.empty()) names.emplace_back(name);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return names;
}

}  // namespace jobs
