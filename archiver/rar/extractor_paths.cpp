#include "archiver/rar/extractor_paths.h"

namespace rar {
namespace {

std::vector<std::string> splitPath(std::string_view path) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    parts.push_back(current);
    return parts;
}

bool startsAbsolute(std::string_view path) {
    if (path.empty()) return false;
    if (path[0] == '\\' || path[0] == '/') return true;
    // "C:" with or without a separator after it.
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

}  // namespace

std::optional<std::vector<std::string>> safeEntryComponents(std::string_view storedPath) {
    if (startsAbsolute(storedPath)) return std::nullopt;
    std::vector<std::string> out;
    for (auto& part : splitPath(storedPath)) {
        if (part.empty() || part == ".") continue;
        if (part == "..") return std::nullopt;
        if (part.find(':') != std::string::npos) return std::nullopt;
        if (part.find('\0') != std::string::npos) return std::nullopt;
        out.push_back(std::move(part));
    }
    if (out.empty()) return std::nullopt;
    return out;
}

bool linkTargetStaysInside(const std::vector<std::string>& linkComponents, std::string_view target) {
    if (target.empty() || startsAbsolute(target)) return false;
    // Resolve against the folder holding the link; the depth must never go below zero.
    // ".." is only allowed before the first name: after a name that is itself a link,
    // the system would climb from where that link points, not from where it lies.
    std::size_t depth = linkComponents.empty() ? 0 : linkComponents.size() - 1;
    bool descended = false;
    for (auto& part : splitPath(target)) {
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (descended || depth == 0) return false;
            --depth;
            continue;
        }
        if (part.find(':') != std::string::npos) return false;
        descended = true;
    }
    return true;
}

}  // namespace rar
