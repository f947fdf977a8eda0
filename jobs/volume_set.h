#pragma once
// Which archives of a list belong together as the volumes of one set, from their names and
// the files beside them: "name.partN.rar" (N of any width, counting from 1) and the older
// "name.rar" followed by "name.r00", "name.r01"... A set is one archive for the jobs: it
// takes one name, all its volumes move together, and one row speaks for it.
//
// Pure: the files are only asked after through `exists`.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace jobs {

enum class VolumeNaming { PartNumber, OldStyle };

// What one path's name says about the set it would belong to.
struct VolumeName {
    VolumeNaming naming = VolumeNaming::PartNumber;
    std::string stem;       // the path up to ".partN.rar" or ".rar" / ".rNN"
    std::string partWord;   // "part" as written (PartNumber)
    std::string extension;  // "rar" as written
    std::size_t width = 0;  // digits of N (PartNumber)
    std::size_t index = 0;  // PartNumber: N; OldStyle: 0 for ".rar", k + 1 for ".r<k>"
};

// Nothing for a name that is no volume name; a plain "name.rar" reads as the first volume
// of an old-style set (only the file "name.r00" beside it makes it one).
std::optional<VolumeName> volumeNameOf(const std::string& path);

// The path of volume `index` of the set `name` belongs to, with another stem when given.
std::string volumePath(const VolumeName& name, std::size_t index, const std::string& stem);
// The first volume's index: 1 for ".partN.rar", 0 for the old style.
std::size_t firstVolumeIndex(VolumeNaming naming);

using FileExists = std::function<bool(const std::string& path)>;

// One archive as the jobs see it: a single file, or a volume set.
struct ArchiveUnit {
    std::vector<std::size_t> rows;     // the list's rows that are this archive, in list order
    bool isSet = false;
    std::optional<VolumeName> set;     // how its volumes are named (a set)
    std::vector<std::string> volumes;  // a set: every volume on disk, first volume first
    std::string missingVolume;         // a set with a gap or without its first volume: the first one missing

    bool complete() const { return missingVolume.empty(); }
};

// The list's rows grouped into archives, in the order of each one's first row.
std::vector<ArchiveUnit> groupVolumeSets(const std::vector<std::string>& paths, const FileExists& exists);

}  // namespace jobs
