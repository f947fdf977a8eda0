#pragma once
// An archive list held in a plain vector: the command-line front end's list, and the copy
// a job works on while the window keeps its own.
#include <string>
#include <utility>
#include <vector>

#include "jobs/archive_rows.h"

namespace jobs {

class VectorArchiveRows final : public ArchiveRows {
public:
    VectorArchiveRows() = default;
    explicit VectorArchiveRows(std::vector<std::string> paths) : paths_(std::move(paths)) {}

    std::size_t count() const override { return paths_.size(); }
    std::string pathAt(std::size_t position) const override { return paths_.at(position); }
    void setPathAt(std::size_t position, const std::string& path) override { paths_.at(position) = path; }

    void add(std::string path) { paths_.push_back(std::move(path)); }
    const std::vector<std::string>& paths() const { return paths_; }

private:
    std::vector<std::string> paths_;
};

}  // namespace jobs
