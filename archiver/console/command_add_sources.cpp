#include "archiver/console/command_add_sources.h"

#include <algorithm>
#include <system_error>

#include "archiver/rar/name_matcher.h"
#include "platform/file.h"
#include "platform/file_identity.h"
#include "platform/paths.h"

namespace console {
namespace {

namespace fs = std::filesystem;

bool hasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

// The path without trailing separators, so that "dir/" names the folder "dir".
fs::path trimmed(fs::path p) {
    std::string s = platform::utf8FromPath(p);
    while (s.size() > 1 && (s.back() == '/' || s.back() == '\\') &&
           !(s.size() == 3 && s[1] == ':'))  // keep "C:\"
        s.pop_back();
    return platform::pathFromUtf8(s);
}

class Collector {
public:
    Collector(const AddSourceOptions& options, AddSources& out) : options_(options), out_(out) {}

    void addGiven(const fs::path& path) {
        const fs::path p = trimmed(path);
        std::error_code ec;
        const auto status = fs::status(p, ec);
        if (ec || !fs::exists(status)) {
            out_.missing.push_back(platform::utf8FromPath(path));
            return;
        }
        add(p, storedNameFor(p, options_.excludeBaseFolder), true);
    }

    void addPattern(const fs::path& pattern) {
        const fs::path folder = pattern.has_parent_path() ? pattern.parent_path() : fs::path(".");
        const std::u32string wanted = rar::NameMatcher::fold(platform::utf8FromPath(pattern.filename()));
        std::vector<fs::path> hits;
        std::error_code ec;
        for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
            const std::string name = platform::utf8FromPath(it->path().filename());
            if (rar::NameMatcher::wildcardMatch(wanted, rar::NameMatcher::fold(name)))
                hits.push_back(pattern.has_parent_path() ? it->path() : it->path().filename());
        }
        std::sort(hits.begin(), hits.end());
        if (hits.empty()) out_.missing.push_back(platform::utf8FromPath(pattern));
        for (const auto& h : hits) add(h, storedNameFor(h, options_.excludeBaseFolder), true);
    }

private:
    bool isOwnArchive(const fs::path& p) const {
        if (platform::isTemporaryFileName(platform::utf8FromPath(p.filename()))) return true;
        return !options_.archive.empty() && platform::isSameFile(p, options_.archive);
    }

    void add(const fs::path& p, const std::string& stored, bool given) {
        std::error_code ec;
        const auto linkStatus = fs::symlink_status(p, ec);
        const auto status = fs::status(p, ec);
        if (fs::is_regular_file(status)) {
            if (!isOwnArchive(p)) out_.items.push_back(rar::Rar4AddItem{p, stored, false});
            return;
        }
        if (!fs::is_directory(status)) {
            if (!given || fs::exists(status)) out_.skipped.push_back(platform::utf8FromPath(p));
            return;
        }
        if (!options_.noFolderEntries && !stored.empty()) out_.items.push_back(rar::Rar4AddItem{p, stored, true});
        // A link to a folder below a folder being walked could lead back up: not followed.
        if (fs::is_symlink(linkStatus) && !given) return;
        std::vector<fs::path> children;
        for (auto it = fs::directory_iterator(p, ec); !ec && it != fs::directory_iterator(); it.increment(ec))
            children.push_back(it->path());
        std::sort(children.begin(), children.end());
        for (const auto& c : children) {
            const std::string name = platform::utf8FromPath(c.filename());
            add(c, stored.empty() ? name : stored + "\\" + name, false);
        }
    }

    const AddSourceOptions& options_;
    AddSources& out_;
};

}  // namespace

std::string storedNameFor(const std::filesystem::path& given, bool excludeBaseFolder) {
    // "a/../b" is stored as "b"; ".." that climbs above the start is dropped.
    const fs::path p = trimmed(given).lexically_normal();
    if (excludeBaseFolder) {
        std::string name = platform::utf8FromPath(p.filename());
        if (name == "." || name == "..") name.clear();
        return name;
    }
    std::string out;
    for (const auto& part : p.relative_path()) {
        const std::string s = platform::utf8FromPath(part);
        if (s.empty() || s == "." || s == "..") continue;
        if (!out.empty()) out += '\\';
        out += s;
    }
    return out;
}

AddSources collectAddSources(const std::vector<std::string>& namesUtf8, const AddSourceOptions& options) {
    AddSources out;
    Collector c(options, out);
    for (const auto& name : namesUtf8) {
        const fs::path p = platform::pathFromUtf8(name);
        if (hasWildcard(platform::utf8FromPath(p.filename())))
            c.addPattern(p);
        else
            c.addGiven(p);
    }
    return out;
}

}  // namespace console
