#pragma once
// The archive list as the jobs see it: rows in the order they were added, each one
// archive's full path (UTF-8). A rename job writes an archive's new path back into its
// row so that a later job finds the file.
#include <cstddef>
#include <string>

class ArchiveRows {
public:
    virtual ~ArchiveRows() = default;
    virtual std::size_t count() const = 0;
    virtual std::string pathAt(std::size_t position) const = 0;
    virtual void setPathAt(std::size_t position, const std::string& path) = 0;
};
