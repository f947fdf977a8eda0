#include "jobs/volume_set.h"

#include <map>
#include <tuple>

namespace jobs {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool equalsFolded(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != lower[i]) return false;
    }
    return true;
}

std::string_view fileNameOf(std::string_view path) {
    auto cut = path.find_last_of("\\/");
    return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

std::string padded(std::size_t number, std::size_t width) {
    std::string digits = std::to_string(number);
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return digits;
}

// Beyond the first volume missing, this many more are looked for: a gap further on is
// unlikely to be wider.
constexpr std::size_t kGapProbe = 16;

}  // namespace

std::optional<VolumeName> volumeNameOf(const std::string& path) {
    const std::string_view name = fileNameOf(path);
    const std::size_t folder = path.size() - name.size();
    const auto dot = name.find_last_of('.');
    if (dot == std::string_view::npos || dot == 0) return std::nullopt;
    const std::string_view ext = name.substr(dot + 1);
    VolumeName v;
    if (equalsFolded(ext, "rar")) {
        v.extension = std::string(ext);
        // "name.partN.rar"?
        const std::string_view before = name.substr(0, dot);
        std::size_t digitsStart = before.size();
        while (digitsStart > 0 && isDigit(before[digitsStart - 1])) --digitsStart;
        const std::size_t width = before.size() - digitsStart;
        if (width > 0 && width <= 9 && digitsStart >= 5 && before[digitsStart - 5] == '.' &&
            equalsFolded(before.substr(digitsStart - 4, 4), "part") && digitsStart > 5) {
            v.naming = VolumeNaming::PartNumber;
            v.partWord = std::string(before.substr(digitsStart - 4, 4));
            v.width = width;
            v.index = std::stoul(std::string(before.substr(digitsStart)));
            v.stem = path.substr(0, folder + digitsStart - 5);
            if (v.index == 0) return std::nullopt;
            return v;
        }
        v.naming = VolumeNaming::OldStyle;
        v.index = 0;
        v.stem = path.substr(0, folder + dot);
        return v;
    }
    // ".r00" to ".r99".
    if (ext.size() == 3 && (ext[0] == 'r' || ext[0] == 'R') && isDigit(ext[1]) && isDigit(ext[2])) {
        v.naming = VolumeNaming::OldStyle;
        v.extension = ext[0] == 'R' ? "RAR" : "rar";
        v.index = static_cast<std::size_t>((ext[1] - '0') * 10 + (ext[2] - '0')) + 1;
        v.stem = path.substr(0, folder + dot);
        return v;
    }
    return std::nullopt;
}

std::size_t firstVolumeIndex(VolumeNaming naming) { return naming == VolumeNaming::PartNumber ? 1 : 0; }

std::string volumePath(const VolumeName& name, std::size_t index, const std::string& stem) {
    if (name.naming == VolumeNaming::PartNumber) {
        return stem + "." + name.partWord + padded(index, name.width) + "." + name.extension;
    }
    if (index == 0) return stem + "." + name.extension;
    return stem + "." + (name.extension[0] == 'R' ? "R" : "r") + padded(index - 1, 2);
}

std::vector<ArchiveUnit> groupVolumeSets(const std::vector<std::string>& paths, const FileExists& exists) {
    std::vector<ArchiveUnit> units;
    // A set is known by its stem, its naming and the width of its numbers.
    std::map<std::tuple<std::string, int, std::size_t>, std::size_t> setUnits;
    for (std::size_t row = 0; row < paths.size(); ++row) {
        auto name = volumeNameOf(paths[row]);
        // A plain "name.rar" is an old-style first volume only when "name.r00" lies beside it.
        if (name && name->naming == VolumeNaming::OldStyle && name->index == 0 &&
            !exists(volumePath(*name, 1, name->stem))) {
            name.reset();
        }
        if (!name) {
            ArchiveUnit single;
            single.rows.push_back(row);
            single.volumes.push_back(paths[row]);
            units.push_back(std::move(single));
            continue;
        }
        auto key = std::make_tuple(name->stem, static_cast<int>(name->naming), name->width);
        auto found = setUnits.find(key);
        if (found != setUnits.end()) {
            units[found->second].rows.push_back(row);
            continue;
        }
        setUnits.emplace(key, units.size());
        ArchiveUnit set;
        set.isSet = true;
        set.rows.push_back(row);
        set.set = name;
        units.push_back(std::move(set));
    }

    for (auto& unit : units) {
        if (!unit.isSet) continue;
        const VolumeName& name = *unit.set;
        std::size_t highestListed = 0;
        for (auto row : unit.rows) highestListed = std::max(highestListed, volumeNameOf(paths[row])->index);
        std::size_t index = firstVolumeIndex(name.naming);
        while (exists(volumePath(name, index, name.stem))) {
            unit.volumes.push_back(volumePath(name, index, name.stem));
            ++index;
        }
        // A gap: a listed volume beyond the first one missing, or one found a little further on.
        bool gap = unit.volumes.empty() || highestListed >= index;
        for (std::size_t probe = index + 1; !gap && probe <= index + kGapProbe; ++probe) {
            gap = exists(volumePath(name, probe, name.stem));
        }
        if (gap) unit.missingVolume = volumePath(name, index, name.stem);
    }
    return units;
}

}  // namespace jobs
