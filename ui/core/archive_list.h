#pragma once
// The working set of every batch job: full paths of RAR archives (UTF-8) in the order they
// were added. A row's running number is always its position + 1, so removing a row
// renumbers the rest. A path already in the list is not added again, in whatever spelling
// the file system takes as the same name (letter case and "/" on Windows).
//
// Safe to share with one job thread: every operation takes the list's lock, so the window
// may read rows while a rename job writes new paths back.
#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "jobs/archive_rows.h"

class ArchiveList : public ArchiveRows {
public:
    ArchiveList() = default;
    ArchiveList(const ArchiveList&) = delete;
    ArchiveList& operator=(const ArchiveList&) = delete;

    std::size_t count() const override;
    // Empty text for a position past the end.
    std::string pathAt(std::size_t position) const override;
    // Ignored for a position past the end.
    void setPathAt(std::size_t position, const std::string& path) override;

    // Appends at the end; false (and no change) when the path is already in the list.
    bool add(const std::string& path);
    bool contains(const std::string& path) const;
    // Removes one row; false for a position past the end.
    bool removeAt(std::size_t position);
    void clear();

    std::vector<std::string> paths() const;

private:
    mutable std::mutex mutex_;
    std::vector<std::string> paths_;
    // The rows' platform::pathKey values.
    std::unordered_multiset<std::string> index_;
};

// The "序号" cell of the row at `position`.
std::string runningNumber(std::size_t position);
