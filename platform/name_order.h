#pragma once
// The order in which NTFS keeps a folder's names, and so the order in which Windows lists
// them: compared as UTF-16 code units after each unit is upper-cased, unit by unit
// (ordinal, no locale). The folder walk sorts by it on every system, so a batch takes the
// same archives in the same order wherever it runs and however the file system happens to
// return them.
#include <string>
#include <string_view>

namespace platform {

// Whether UTF-8 name `a` comes before `b`. Names that differ only in letter case (possible
// outside Windows) are ordered by their bytes, so the order is total and stable. A byte
// that is no part of UTF-8 counts as one unit of its own.
bool ntfsNameLess(std::string_view a, std::string_view b);

// The units ntfsNameLess compares, for sorting many names without converting each again
// at every comparison (equal keys are then ordered by the names' bytes).
std::u16string ntfsSortKey(std::string_view name);

// The upper-case form NTFS gives one UTF-16 code unit (Latin, Greek, Cyrillic and the
// full-width letters; every other unit is its own upper case).
char16_t ntfsUpperCase(char16_t unit);

}  // namespace platform
