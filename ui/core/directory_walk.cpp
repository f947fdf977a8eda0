#include "ui/core/directory_walk.h"

#include <system_error>

#include "platform/folder_link.h"
#include "platform/paths.h"

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

DirectoryWalk::DirectoryWalk(const fs::path& root) { queue_.push_back(QueuedDirectory{root}); }

bool DirectoryWalk::openNext() {
    while (!queue_.empty()) {
        QueuedDirectory item = std::move(queue_.front());
        queue_.pop_front();
        std::error_code ec;
        fs::directory_iterator it(item.path, fs::directory_options::skip_permission_denied, ec);
        // A folder that cannot be opened (no access, gone since it was queued) is skipped.
        if (ec) continue;
        current_ = std::move(it);
        return true;
    }
    return false;
}

std::vector<std::string> DirectoryWalk::next(std::size_t budget) {
    std::vector<std::string> found;
    if (budget == 0) budget = 1;
    while (budget > 0) {
        if (!current_ && !openNext()) break;
        auto& it = *current_;
        if (it == fs::directory_iterator()) {
            closeCurrent();
            continue;
        }
        --budget;
        const fs::directory_entry& entry = *it;
        std::error_code ec;
        // The entry's own type, not its target's: a link to a folder must not be queued.
        fs::file_status own = entry.symlink_status(ec);
        if (!ec) {
            if (fs::is_directory(own)) {
                // Where the standard library does not tell a link from a folder (Windows).
                if (!platform::isFolderLink(entry.path())) queue_.push_back(QueuedDirectory{entry.path()});
            } else {
                bool isFile = fs::is_regular_file(own);
                if (fs::is_symlink(own)) isFile = fs::is_regular_file(fs::status(entry.path(), ec)) && !ec;
                if (isFile && hasRarExtension(platform::utf8FromPath(entry.path().filename()))) {
                    found.push_back(platform::utf8FromPath(entry.path()));
                }
            }
        }
        it.increment(ec);
        // A folder that fails halfway keeps what was read from it; the walk goes on.
        if (ec) closeCurrent();
    }
    return found;
}

std::vector<std::string> collectFromDirectory(const fs::path& root) {
    DirectoryWalk walk(root);
    std::vector<std::string> all;
    while (!walk.done()) {
        auto part = walk.next(4096);
        all.insert(all.end(), std::make_move_iterator(part.begin()), std::make_move_iterator(part.end()));
    }
    return all;
}
