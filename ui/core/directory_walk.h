#pragma once
// Collects the ".rar" files under a folder, breadth first: the folder's own archives, then
// those of its subfolders one folder at a time, level by level. Each folder's entries, its
// files and its subfolders alike, are taken in the order NTFS keeps them (names compared
// without regard to letter case, platform/name_order.h), on every system: the file system's
// own order (hash order on ext4) would hand a rerun of a numbering other archives.
//
// ".rar" matches in any letter case. The walk never follows a link to a folder (a link loop
// cannot make it run forever; a link to a file counts as that file) and skips any folder it
// cannot read, going on with the rest. A name the program cannot carry as text (not UTF-8
// on Linux, a lone surrogate on Windows) is not collected but reported, with its folder's
// contents when it is a folder's name: the archiver and every later step would not find it.
#include <cstddef>
#include <deque>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// An archive or folder the walk left out, and why (both for the user to read).
struct SkippedName {
    std::string path;    // bytes that are no UTF-8 shown as \xNN
    std::string reason;
};

// The walk in steps, so that a window can stay responsive on a large tree: each call of
// next() looks at a bounded number of folder entries.
class DirectoryWalk {
public:
    explicit DirectoryWalk(const std::filesystem::path& root);

    bool done() const { return queue_.empty() && pending_.empty(); }
    // Looks at up to `budget` entries (at least one) and returns the archives among them,
    // full paths as UTF-8, in walk order.
    std::vector<std::string> next(std::size_t budget);
    // The names left out since the last call, in walk order.
    std::vector<SkippedName> takeSkipped();

private:
    bool openNext();

    std::deque<std::filesystem::path> queue_;                  // folders still to visit
    std::deque<std::filesystem::directory_entry> pending_;     // the open folder's entries, sorted
    std::vector<SkippedName> skipped_;
};

// The whole walk at once; what it left out goes to `skipped` when given.
std::vector<std::string> collectFromDirectory(const std::filesystem::path& root,
                                              std::vector<SkippedName>* skipped = nullptr);

// Whether a file name ends in ".rar", in any letter case.
bool hasRarExtension(std::string_view fileName);

// Whether the program can carry this path as UTF-8 text and get the same file back.
bool isCarriableName(const std::filesystem::path& path);
// The path for a message: what is not UTF-8 shown as \xNN.
std::string displayedPath(const std::filesystem::path& path);

inline constexpr std::string_view kUncarriableArchiveName = "文件名不是有效的 UTF-8 编码，无法处理，已跳过";
inline constexpr std::string_view kUncarriableFolderName = "文件夹名不是有效的 UTF-8 编码，其中的压缩包无法处理，已跳过";
