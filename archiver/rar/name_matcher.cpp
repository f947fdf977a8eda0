#include "archiver/rar/name_matcher.h"

#include "archiver/rar/utf16_codec.h"

namespace rar {
namespace {

char32_t foldCodePoint(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 0x20;
    if (c < 0x80) return c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
    if (c >= 0x100 && c <= 0x17F) {
        // Latin Extended-A pairs upper and lower case in neighbours; the run from U+0139
        // to U+0148 and from U+0179 on start the pairs on an odd code point.
        const bool oddStart = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (c == 0x178) return 0xFF;
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
        if (oddStart) return (c & 1) ? c + 1 : c;
        return (c & 1) ? c : c + 1;
    }
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;
    return c;
}

std::vector<std::u32string> splitParts(const std::u32string& path) {
    std::vector<std::u32string> parts;
    std::u32string current;
    for (char32_t c : path) {
        if (c == U'\\' || c == U'/') {
            parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    parts.push_back(current);
    return parts;
}

}  // namespace

std::u32string NameMatcher::fold(std::string_view utf8) {
    const std::u16string units = utf16FromUtf8(utf8);
    std::u32string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        out.push_back(foldCodePoint(c));
    }
    return out;
}

bool NameMatcher::wildcardMatch(std::u32string_view pattern, std::u32string_view text) {
    // Greedy matching that returns to the last '*' on a mismatch: linear in practice and
    // never exponential, whatever the pattern.
    std::size_t p = 0, t = 0;
    std::size_t starP = std::u32string_view::npos, starT = 0;
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

NameMatcher::NameMatcher(const std::vector<std::string>& namesUtf8) {
    for (const std::string& name : namesUtf8) {
        std::u32string folded = fold(name);
        Pattern pattern;
        for (char32_t c : folded)
            if (c == U'\\' || c == U'/') pattern.rooted = true;
        // Separators at either end only mark the name as rooted; ".\" is the root too.
        std::size_t begin = 0, end = folded.size();
        for (;;) {
            if (begin < end && (folded[begin] == U'\\' || folded[begin] == U'/')) {
                ++begin;
            } else if (begin + 1 < end && folded[begin] == U'.' && (folded[begin + 1] == U'\\' || folded[begin + 1] == U'/')) {
                begin += 2;
            } else {
                break;
            }
        }
        while (end > begin && (folded[end - 1] == U'\\' || folded[end - 1] == U'/')) --end;
        if (begin >= end) continue;
        pattern.parts = splitParts(folded.substr(begin, end - begin));
        for (auto& part : pattern.parts)
            if (part == U"*.*") part = U"*";
        patterns_.push_back(std::move(pattern));
    }
}

namespace {

// The folded form of an entry path, in a buffer that lives on: a deletion or a filtered
// listing compares every entry of the archive, and plain ASCII paths then cost no
// allocation at all.
void foldInto(std::string_view utf8, std::u32string& out) {
    out.resize(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto u = static_cast<unsigned char>(utf8[i]);
        if (u >= 0x80) {
            out = NameMatcher::fold(utf8);
            return;
        }
        out[i] = u >= 'A' && u <= 'Z' ? static_cast<char32_t>(u + 0x20) : static_cast<char32_t>(u);
    }
}

// The parts of a folded path one by one, as splitParts would give them.
class PartCursor {
public:
    explicit PartCursor(std::u32string_view path) : path_(path) {}
    bool next(std::u32string_view& part) {
        if (start_ > path_.size()) return false;
        std::size_t stop = start_;
        while (stop < path_.size() && path_[stop] != U'\\' && path_[stop] != U'/') ++stop;
        part = path_.substr(start_, stop - start_);
        start_ = stop + 1;
        return true;
    }

private:
    std::u32string_view path_;
    std::size_t start_ = 0;
};

}  // namespace

bool NameMatcher::matches(std::string_view entryPath) const {
    thread_local std::u32string folded;
    foldInto(entryPath, folded);
    for (const Pattern& pattern : patterns_) {
        PartCursor parts(folded);
        std::u32string_view part;
        if (!pattern.rooted) {
            while (parts.next(part))
                if (wildcardMatch(pattern.parts[0], part)) return true;
            continue;
        }
        bool all = true;
        for (std::size_t i = 0; i < pattern.parts.size() && all; ++i) all = parts.next(part) && wildcardMatch(pattern.parts[i], part);
        if (all) return true;
    }
    return false;
}

}  // namespace rar
