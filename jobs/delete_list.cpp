#include "jobs/delete_list.h"

#include <optional>

#include "platform/utf8.h"

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

// Code points with simple case folding for the Latin, Greek and Cyrillic letters and the
// full-width Latin forms: the folding the archiver's delete command compares with.
char32_t folded(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 0x20;
    if (c < 0x80) return c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
    if (c >= 0x100 && c <= 0x17F) {
        if (c == 0x178) return 0xFF;
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
        // Upper and lower case are neighbours; from U+0139 to U+0148 and from U+0179 on
        // the pairs start on an odd code point.
        const bool oddStart = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (oddStart) return (c & 1) ? c + 1 : c;
        return (c & 1) ? c : c + 1;
    }
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;
    return c;
}

std::u32string foldedText(std::string_view utf8) {
    std::u32string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const platform::Utf8Char c = platform::decodeUtf8(utf8, i);
        if (c.length == 0) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        out.push_back(folded(c.codePoint));
        i += c.length;
    }
    return out;
}

bool isSeparator(char32_t c) { return c == U'\\' || c == U'/'; }

std::vector<std::u32string> parts(std::u32string_view path) {
    std::vector<std::u32string> out(1);
    for (char32_t c : path) {
        if (isSeparator(c)) {
            out.emplace_back();
        } else {
            out.back() += c;
        }
    }
    return out;
}

// "*" runs over any characters and "?" over one, both within one part of a path.
bool wildcardMatch(std::u32string_view pattern, std::u32string_view text) {
    std::size_t p = 0, t = 0, starP = std::u32string_view::npos, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == U'*') {
            starP = p++;
            starT = t;
        } else if (starP != std::u32string_view::npos) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*') ++p;
    return p == pattern.size();
}

struct Pattern {
    bool rooted = false;  // has a folder part: compared from the archive's root
    std::vector<std::u32string> parts;
};

std::optional<Pattern> patternFor(const std::string& name) {
    const std::u32string text = foldedText(name);
    Pattern p;
    for (char32_t c : text) p.rooted = p.rooted || isSeparator(c);
    // Separators at either end and a leading ".\" only say "from the root".
    std::size_t begin = 0, end = text.size();
    while (true) {
        if (begin < end && isSeparator(text[begin])) {
            ++begin;
        } else if (begin + 1 < end && text[begin] == U'.' && isSeparator(text[begin + 1])) {
            begin += 2;
        } else {
            break;
        }
    }
    while (end > begin && isSeparator(text[end - 1])) --end;
    if (begin >= end) return std::nullopt;
    p.parts = parts(std::u32string_view(text).substr(begin, end - begin));
    for (auto& part : p.parts) {
        if (part == U"*.*") part = U"*";
    }
    return p;
}

// The entry itself or a folder it lies in: a bare name against every part of the path,
// a name with folders against the leading parts.
bool takes(const Pattern& pattern, const std::vector<std::u32string>& entry) {
    if (!pattern.rooted) {
        for (const auto& part : entry) {
            if (wildcardMatch(pattern.parts[0], part)) return true;
        }
        return false;
    }
    if (pattern.parts.size() > entry.size()) return false;
    for (std::size_t i = 0; i < pattern.parts.size(); ++i) {
        if (!wildcardMatch(pattern.parts[i], entry[i])) return false;
    }
    return true;
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

std::vector<std::size_t> entriesRemovedBy(const std::vector<ListingEntry>& entries,
                                          const std::vector<std::string>& names) {
    std::vector<Pattern> patterns;
    for (const auto& n : names) {
        if (auto p = patternFor(n)) patterns.push_back(std::move(*p));
    }
    std::vector<std::size_t> removed;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto entry = parts(foldedText(entries[i].path));
        for (const auto& p : patterns) {
            if (takes(p, entry)) {
                removed.push_back(i);
                break;
            }
        }
    }
    return removed;
}

}  // namespace jobs
