#include "ui/core/archive_list.h"

#include "platform/path_key.h"

std::size_t ArchiveList::count() const {
    std::lock_guard lock(mutex_);
    return paths_.size();
}

std::string ArchiveList::pathAt(std::size_t position) const {
    std::lock_guard lock(mutex_);
    return position < paths_.size() ? paths_[position] : std::string();
}

void ArchiveList::setPathAt(std::size_t position, const std::string& path) {
    std::lock_guard lock(mutex_);
    if (position >= paths_.size()) return;
    // A multiset, because a job may write back a path that another row still holds.
    index_.erase(index_.find(platform::pathKey(paths_[position])));
    paths_[position] = path;
    index_.insert(platform::pathKey(path));
}

bool ArchiveList::add(const std::string& path) {
    std::lock_guard lock(mutex_);
    std::string key = platform::pathKey(path);
    if (index_.count(key) != 0) return false;
    paths_.push_back(path);
    index_.insert(std::move(key));
    return true;
}

bool ArchiveList::contains(const std::string& path) const {
    std::lock_guard lock(mutex_);
    return index_.count(platform::pathKey(path)) != 0;
}

bool ArchiveList::removeAt(std::size_t position) {
    std::lock_guard lock(mutex_);
    if (position >= paths_.size()) return false;
    index_.erase(index_.find(platform::pathKey(paths_[position])));
    paths_.erase(paths_.begin() + static_cast<std::ptrdiff_t>(position));
    return true;
}

void ArchiveList::clear() {
    std::lock_guard lock(mutex_);
    paths_.clear();
    index_.clear();
}

std::vector<std::string> ArchiveList::paths() const {
    std::lock_guard lock(mutex_);
    return paths_;
}

std::string runningNumber(std::size_t position) { return std::to_string(position + 1); }
