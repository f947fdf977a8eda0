#pragma once
// The delete list of the clean job: the typed text cut into entry names, and, for a dry
// run, which entries of an archive those names would take away.
#include <string>
#include <string_view>
#include <vector>

#include "archiver/driver/listing_entry.h"

namespace jobs {

// Lines split at CR LF or LF, blanks (also the ideographic blank U+3000) around each
// name trimmed, empty lines dropped; the order of the lines is kept.
std::vector<std::string> deleteListNames(std::string_view text);

// The entries, in listing order, that the archiver's delete command removes for `names`,
// following its rule: letter case ignored (Latin, Greek, Cyrillic, full-width letters),
// "\" and "/" alike, "*" and "?" wildcards within one part of a path, "*.*" the same as
// "*"; a name without a folder part matches entries of that name in every folder, a name
// with one matches from the archive's root; a matched folder takes everything under it.
std::vector<std::size_t> entriesRemovedBy(const std::vector<ListingEntry>& entries,
                                          const std::vector<std::string>& names);

}  // namespace jobs
