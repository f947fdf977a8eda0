#pragma once
// The pure rules that form an archive's new name: which entry names it, how a running
// number is written, and which names cannot be given to a file.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archiver/driver/listing_entry.h"

namespace jobs {

// The extension as compared: blanks around it and one leading "." dropped ("exe", " .exe").
std::string normalizedExtension(std::string_view typed);

// The last part of an entry's path inside the archive (folders end at "\" or "/").
std::string_view bareEntryName(std::string_view entryPath);

// For each entry, whether it is a folder. The listing lists folders like files; a folder
// shows itself by another entry lying inside it, or by a trailing separator.
std::vector<bool> folderEntries(const std::vector<ListingEntry>& entries);

// The first entry in listing order, folders left out, whose bare name ends in "." and the
// extension, letter case ignored. Entries with encrypted data take part: their names are
// readable. An empty extension matches nothing.
std::optional<std::size_t> findEntryWithExtension(const std::vector<ListingEntry>& entries,
                                                  std::string_view extension);

// The new archive name for a matching entry: its bare name without "." and the extension,
// then ".rar".
std::string archiveNameForEntry(std::string_view bareName, std::string_view extension);

// Whether a start number text can be used: one or more of the digits 0 to 9.
bool isStartNumber(std::string_view start);

// start + offset in decimal, padded with "0" on the left to the length of `start`; a
// number that outgrows that length keeps all its digits (99 + 1 = 100). Any length of
// digits works. Nothing when `start` is not a start number.
std::optional<std::string> runningNumberText(std::string_view start, std::size_t offset);

// Why a file name is refused, or nothing when it can be used. The rules are those of
// Windows, applied on every system, so a batch names its archives the same everywhere
// and the archives can be copied there: none of \ / : * ? " < > |, no control character,
// no reserved device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with any extension), no
// trailing dot or blank, at most 255 characters and 255 UTF-8 bytes.
std::optional<std::string> refusedNameReason(std::string_view name);

// Why a whole path is refused (longer than the 4095 bytes a Linux path may have).
std::optional<std::string> refusedPathReason(std::string_view path);

// ASCII letter case folded; other characters are kept.
std::string foldedAsciiCase(std::string_view text);

}  // namespace jobs
