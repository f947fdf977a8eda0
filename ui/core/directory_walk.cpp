#include "ui/core/directory_walk.h"

#include <algorithm>
#include <system_error>

#include "platform/folder_link.h"
#include "platform/name_order.h"
#include "platform/paths.h"
#include "platform/text_codec.h"

namespace fs = std::filesystem;

bool hasRarExtension(std::string_view fileName) {
    constexpr std::string_view suffix = ".rar";
    if (fileName.size() < suffix.size()) return false;
    auto tail = fileName.substr(fileName.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        char c = tail[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i]) return false;
    }
    return true;
}

bool isCarriableName(const fs::path& path) {
    const std::string utf8 = platform::utf8FromPath(path);
    return platform::isValidUtf8(utf8) && platform::pathFromUtf8(utf8) == path;
}

std::string displayedPath(const fs::path& path) {
    const std::string bytes = platform::utf8FromPath(path);
    std::string out;
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t len = 0;
        for (std::size_t n = 1; n <= 4 && i + n <= bytes.size(); ++n) {
            if (platform::isValidUtf8(std::string_view(bytes).substr(i, n))) {
                len = n;
                break;
            }
        }
        if (len == 0) {
            static const char hex[] = "0123456789ABCDEF";
            const unsigned char c = static_cast<unsigned char>(bytes[i]);
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
            ++i;
        } else {
            out.append(bytes, i, len);
            i += len;
        }
    }
    return out;
}

DirectoryWalk::DirectoryWalk(const fs::path& root) { queue_.push_back(root); }

bool DirectoryWalk::openNext() {
    while (!queue_.empty()) {
        fs::path folder = std::move(queue_.front());
        queue_.pop_front();
        std::error_code ec;
        fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
        // A folder that cannot be opened (no access, gone since it was queued) is skipped.
        if (ec) continue;
        // The whole folder is read before any of it is taken, since its order is ours to set.
        struct Sorted {
            std::u16string key;
            std::string name;
            fs::directory_entry entry;
        };
        std::vector<Sorted> entries;
        for (; it != fs::directory_iterator(); it.increment(ec)) {
            std::string name = platform::utf8FromPath(it->path().filename());
            entries.push_back(Sorted{platform::ntfsSortKey(name), std::move(name), *it});
            // A folder that fails halfway keeps what was read from it; the walk goes on.
            if (ec) break;
        }
        if (entries.empty()) continue;
        std::sort(entries.begin(), entries.end(), [](const Sorted& a, const Sorted& b) {
            return a.key != b.key ? a.key < b.key : a.name < b.name;
        });
        pending_.clear();
        for (auto& e : entries) pending_.push_back(std::move(e.entry));
        return true;
    }
    return false;
}

std::vector<std::string> DirectoryWalk::next(std::size_t budget) {
    std::vector<std::string> found;
    if (budget == 0) budget = 1;
    while (budget > 0) {
        if (pending_.empty() && !openNext()) break;
        const fs::directory_entry entry = std::move(pending_.front());
        pending_.pop_front();
        --budget;
        std::error_code ec;
        // The entry's own type, not its target's: a link to a folder must not be queued.
        fs::file_status own = entry.symlink_status(ec);
        if (ec) continue;
        if (fs::is_directory(own)) {
            // Where the standard library does not tell a link from a folder (Windows).
            if (platform::isFolderLink(entry.path())) continue;
            if (!isCarriableName(entry.path().filename())) {
                skipped_.push_back(SkippedName{displayedPath(entry.path()), std::string(kUncarriableFolderName)});
                continue;
            }
            queue_.push_back(entry.path());
            continue;
        }
        bool isFile = fs::is_regular_file(own);
        if (fs::is_symlink(own)) isFile = fs::is_regular_file(fs::status(entry.path(), ec)) && !ec;
        if (!isFile || !hasRarExtension(platform::utf8FromPath(entry.path().filename()))) continue;
        if (!isCarriableName(entry.path().filename())) {
            skipped_.push_back(SkippedName{displayedPath(entry.path()), std::string(kUncarriableArchiveName)});
            continue;
        }
        found.push_back(platform::utf8FromPath(entry.path()));
    }
    return found;
}

std::vector<SkippedName> DirectoryWalk::takeSkipped() {
    std::vector<SkippedName> out;
    out.swap(skipped_);
    return out;
}

std::vector<std::string> collectFromDirectory(const fs::path& root, std::vector<SkippedName>* skipped) {
    DirectoryWalk walk(root);
    std::vector<std::string> all;
    while (!walk.done()) {
        auto part = walk.next(4096);
        all.insert(all.end(), std::make_move_iterator(part.begin()), std::make_move_iterator(part.end()));
        if (skipped) {
            for (auto& s : walk.takeSkipped()) skipped->push_back(std::move(s));
        }
    }
    return all;
}
