#pragma once
// Where an entry may be written: the checks that keep every extracted file inside the
// destination folder, whatever the stored names and link targets say.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rar {

// The folders and name of an entry below the destination, or nothing when the stored
// path is unsafe: absolute ('\' or '/' first, a "\\server" share), a drive letter ("C:"),
// a ".." component, a component with ':' (a Windows stream or device name), or no name
// at all. Both separators count; empty and "." components are dropped.
std::optional<std::vector<std::string>> safeEntryComponents(std::string_view storedPath);

// Whether a symbolic link stored at `linkComponents` (the link's own components, its
// name last) with target `target` stays inside the destination when resolved. Absolute
// targets, targets that climb above the destination and targets with ".." after a name
// (which the system resolves from wherever that name, possibly a link, points) are refused.
bool linkTargetStaysInside(const std::vector<std::string>& linkComponents, std::string_view target);

}  // namespace rar
