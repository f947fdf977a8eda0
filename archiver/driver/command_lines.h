#pragma once
// The archiver commands, built from their fixed words and one archive's path. Pure: tests
// compare every command's arguments, and its rendering as the classic command line
// (command_line_text.h) byte for byte.
#include <string>
#include <string_view>
#include <vector>

#include "archiver/driver/archiver_command.h"
#include "platform/status.h"

namespace commandlines {

inline constexpr std::string_view kArchiverFileName = "myrar.exe";
inline constexpr std::string_view kListingFileName = "filelist.txt";
inline constexpr std::string_view kCommentFileName = "mycomm.txt";
inline constexpr std::string_view kAddListFileName = "mylist.lst";
// The one password the program uses: the add command always carries it, and the listing
// and the comment command fall back to it, so the archiver never stops to ask for one.
inline constexpr std::string_view kFixedPassword = "tz5083";

// The archiver's command words and switches.
inline constexpr std::string_view kList = "v";
inline constexpr std::string_view kWriteComment = "cw";
inline constexpr std::string_view kAdd = "a";
inline constexpr std::string_view kExtractFlat = "e";
inline constexpr std::string_view kExtractWithPaths = "x";
inline constexpr std::string_view kDelete = "d";
inline constexpr std::string_view kAssumeYes = "-y";
inline constexpr std::string_view kNoEmptyFolders = "-ed";
inline constexpr std::string_view kExcludeBaseFolder = "-ep1";
inline constexpr std::string_view kPlanOnly = "-dry";
inline constexpr std::string_view kPasswordSwitch = "-p";  // the password follows in the same argument
inline constexpr std::string_view kListFileMarker = "@";   // the list file's name follows
inline constexpr std::string_view kEndOfSwitches = "--";

// Whether `text` reaches the archiver unchanged as one argument. Only what no process
// start can carry is refused; quotes, line ends and a shell's syntax are plain data.
bool isPassable(std::string_view text);

// The listing goes into filelist.txt, emptied first.
platform::Result<ArchiverCommand> listingCommand(std::string_view archivePath, std::string_view password);
platform::Result<ArchiverCommand> commentCommand(std::string_view archivePath, std::string_view password);
platform::Result<ArchiverCommand> addCommand(std::string_view archivePath);
// Extracts into `destinationFolder`, which should end in the platform's folder separator.
platform::Result<ArchiverCommand> extractCommand(std::string_view archivePath, bool withPaths,
                                                 std::string_view destinationFolder);
// The names follow "--", so a name beginning with "-", "/" or "@" is never read as a switch
// or a list file.
platform::Result<ArchiverCommand> deleteCommand(std::string_view archivePath, const std::vector<std::string>& entryNames);
// The same delete with the planning switch: the archiver says what it would do and writes nothing.
platform::Result<ArchiverCommand> planDeleteCommand(std::string_view archivePath,
                                                    const std::vector<std::string>& entryNames);

}  // namespace commandlines
