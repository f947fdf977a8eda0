#include "archiver/driver/command_line_text.h"

#include <array>

#include "archiver/driver/command_lines.h"

namespace {

using namespace commandlines;

// The pieces of the classic line, each with its blanks; none is trimmed or joined with an
// extra blank.
constexpr std::string_view kInterpreterPrefix = "cmd /c ";
constexpr std::string_view kRedirection = " >";
constexpr std::string_view kAppendingRedirection = " >>";
constexpr std::string_view kGap = " ";
// Two quirks of the classic line: the add command's piece ends in a blank and the archive
// path's opening piece begins with one, and the comment command puts two blanks before
// its comment file.
constexpr std::string_view kWideGap = "  ";
constexpr std::string_view kQuote = "\"";
constexpr std::array<std::string_view, 4> kOwnSwitches = {kAssumeYes, kNoEmptyFolders, kExcludeBaseFolder, kPlanOnly};

// The program's own words stand bare; what comes from outside (a path, a name, a folder, a
// password) stands between quotes, the password right after its switch.
bool isOwnSwitch(std::string_view argument) {
    if (argument.starts_with(kPasswordSwitch)) return true;
    for (auto s : kOwnSwitches) {
        if (argument == s) return true;
    }
    return false;
}

std::string switchText(std::string_view argument) {
    if (!argument.starts_with(kPasswordSwitch)) return std::string(argument);
    return std::string(kPasswordSwitch) + quoted(argument.substr(kPasswordSwitch.size()));
}

bool isOwnFileArgument(std::string_view argument) {
    if (argument.starts_with(kListFileMarker)) argument.remove_prefix(kListFileMarker.size());
    return argument == kAddListFileName || argument == kCommentFileName;
}

}  // namespace

std::string withinQuotes(std::string_view text) {
    std::size_t trailing = 0;
    while (trailing < text.size() && text[text.size() - 1 - trailing] == '\\') ++trailing;
    std::string out(text);
    out.append(trailing, '\\');
    return out;
}

std::string quoted(std::string_view text) {
    std::string out(kQuote);
    out += withinQuotes(text);
    out += kQuote;
    return out;
}

std::string renderCommandLine(const ArchiverCommand& command) {
    // The interpreter did the redirection in the classic line, so it stood in front.
    std::string line = command.outputFile.empty() ? std::string() : std::string(kInterpreterPrefix);
    line += kArchiverFileName;

    enum class Next { CommandWord, SwitchOrArchive, AfterArchive, Names };
    Next next = Next::CommandWord;
    std::string_view commandWord;
    bool previousWasArchive = false;
    for (const std::string& argument : command.arguments) {
        std::string_view gap = kGap;
        std::string piece;
        bool isArchive = false;
        switch (next) {
            case Next::CommandWord:
                commandWord = argument;
                piece = argument;
                next = Next::SwitchOrArchive;
                break;
            case Next::SwitchOrArchive:
                if (argument == kEndOfSwitches) {
                    piece = argument;
                    next = Next::Names;
                } else if (isOwnSwitch(argument)) {
                    piece = switchText(argument);
                } else {
                    isArchive = true;
                    if (commandWord == kAdd) gap = kWideGap;
                    piece = quoted(argument);
                    next = Next::AfterArchive;
                }
                break;
            case Next::AfterArchive:
                if (previousWasArchive && commandWord == kWriteComment) gap = kWideGap;
                if (argument == kEndOfSwitches) {
                    piece = argument;
                    next = Next::Names;
                } else if (isOwnSwitch(argument) || isOwnFileArgument(argument)) {
                    piece = switchText(argument);
                } else {
                    piece = quoted(argument);
                }
                break;
            case Next::Names:
                piece = quoted(argument);
                break;
        }
        previousWasArchive = isArchive;
        line += gap;
        line += piece;
    }
    if (!command.outputFile.empty()) {
        line += command.append ? kAppendingRedirection : kRedirection;
        line += command.outputFile;
    }
    return line;
}
