#pragma once
// Collects the ".rar" files under a folder, breadth first: the folder's own archives in
// the order the file system lists them, then those of its subfolders one folder at a time,
// level by level, each folder in the order it was found.
//
// ".rar" matches in any letter case. The walk never follows a link to a folder (a link loop
// cannot make it run forever; a link to a file counts as that file) and skips any folder it
// cannot read, going on with the rest.
#include <cstddef>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The walk in steps, so that a window can stay responsive on a large tree: each call of
// next() looks at a bounded number of folder entries.
class DirectoryWalk {
public:
    explicit DirectoryWalk(const std::filesystem::path& root);

    bool done() const { return queue_.empty() && !current_; }
    // Looks at up to `budget` entries (at least one) and returns the archives among them,
    // full paths as UTF-8, in walk order.
    std::vector<std::string> next(std::size_t budget);

private:
    // One folder still to visit.
    struct QueuedDirectory {
        std::filesystem::path path;
    };

    bool openNext();
    void closeCurrent() { current_.reset(); }

    std::deque<QueuedDirectory> queue_;
    std::optional<std::filesystem::directory_iterator> current_;
};

// The whole walk at once.
std::vector<std::string> collectFromDirectory(const std::filesystem::path& root);

// Whether a file name ends in ".rar", in any letter case.
bool hasRarExtension(std::string_view fileName);
