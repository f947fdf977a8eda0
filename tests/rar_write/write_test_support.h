#pragma once
// Small helpers shared by the writer and extractor tests.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "archiver/rar/archive_reader.h"
#include "archiver/rar/rar4_writer.h"
#include "platform/file.h"
#include "tests/support/file_time.h"

namespace rarwritetest {


inline std::string readText(const std::filesystem::path& p) {
    auto r = platform::readWholeFile(p);
    return r ? *r : std::string("<unreadable: " + r.message() + ">");
}

inline std::vector<std::uint8_t> readBytes(const std::filesystem::path& p) {
    const std::string s = readText(p);
    return {s.begin(), s.end()};
}

inline void setMtime(const std::filesystem::path& p, std::int64_t seconds, long nanoseconds = 0) {
    testsupport::setModificationTime(p, seconds, nanoseconds);
}

// Seconds and nanoseconds since 1970 of a file's modification time.
inline std::pair<std::int64_t, long> mtimeOf(const std::filesystem::path& p) { return testsupport::modificationTime(p); }

inline rar::Rar4AddItem fileItem(const std::filesystem::path& source, std::string stored) {
    return rar::Rar4AddItem{source, std::move(stored), false};
}
inline rar::Rar4AddItem folderItem(const std::filesystem::path& source, std::string stored) {
    return rar::Rar4AddItem{source, std::move(stored), true};
}

inline rar::ReadResult readBack(const std::filesystem::path& archive, std::string password = {}) {
    rar::ReadOptions o;
    o.password = std::move(password);
    return rar::readArchive(archive, o);
}

inline std::vector<std::string> entryPaths(const rar::Archive& a) {
    std::vector<std::string> out;
    for (const auto& e : a.entries) out.push_back(e.path);
    return out;
}

}  // namespace rarwritetest
