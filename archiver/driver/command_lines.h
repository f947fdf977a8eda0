#pragma once
// The archiver command lines, built from their fixed pieces and one archive's path. Pure:
// tests compare every line byte for byte. Each text that goes between double quotes is
// checked first: a double quote or a control character in it would end the quoting early
// and let the rest of the text be read as further arguments, so such a text is refused.
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace commandlines {

inline constexpr std::string_view kArchiverFileName = "myrar.exe";
inline constexpr std::string_view kListingFileName = "filelist.txt";
inline constexpr std::string_view kCommentFileName = "mycomm.txt";
inline constexpr std::string_view kAddListFileName = "mylist.lst";
// The one password the program uses: the add command always carries it, and the listing
// and the comment command fall back to it, so the archiver never stops to ask for one.
inline constexpr std::string_view kFixedPassword = "tz5083";

// Whether `text` can stand between double quotes and reach the archiver unchanged.
bool isPassable(std::string_view text);

// `text` as it goes between two double quotes: backslashes right before the closing quote
// are doubled, since the Windows rules would otherwise read the last one as escaping it.
std::string withinQuotes(std::string_view text);
// `text` between double quotes.
std::string quoted(std::string_view text);

platform::Result<std::string> listingCommandLine(std::string_view archivePath, std::string_view password);
platform::Result<std::string> commentCommandLine(std::string_view archivePath, std::string_view password);
platform::Result<std::string> addCommandLine(std::string_view archivePath);
// Extracts into `destinationFolder`, which should end in the platform's folder separator.
platform::Result<std::string> extractCommandLine(std::string_view archivePath, bool withPaths,
                                                 std::string_view destinationFolder);
// The names follow "--", so a name beginning with "-" or "/" is never read as a switch.
platform::Result<std::string> deleteCommandLine(std::string_view archivePath, const std::vector<std::string>& entryNames);

}  // namespace commandlines
