#include "archiver/driver/command_lines.h"

#include "platform/program_arguments.h"

namespace commandlines {
namespace {

// NUL is the one character that can end up in a text; it is shown as "\0" so the message
// says where the text was cut.
std::string shown(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\0') out += "\\0";
        else out += c;
    }
    return out;
}

platform::Status checkPassable(std::string_view what, std::string_view text) {
    if (isPassable(text)) return platform::Status::success();
    return platform::Status::failure(std::string(what) + "含有无法交给压缩程序的字符：" + shown(text));
}

std::string passwordArgument(std::string_view password) {
    std::string argument(kPasswordSwitch);
    argument += password.empty() ? kFixedPassword : password;
    return argument;
}

std::string word(std::string_view text) { return std::string(text); }

platform::Result<ArchiverCommand> deletion(std::string_view archivePath, const std::vector<std::string>& entryNames,
                                           bool planOnly) {
    if (auto s = checkPassable("压缩文件路径", archivePath); !s) return s;
    for (const auto& name : entryNames) {
        if (auto s = checkPassable("文件名", name); !s) return s;
    }
    if (entryNames.empty()) return platform::Status::failure("没有要删除的文件名");
    ArchiverCommand command;
    command.arguments = {word(kDelete)};
    if (planOnly) command.arguments.push_back(word(kPlanOnly));
    command.arguments.push_back(word(kAssumeYes));
    command.arguments.push_back(word(archivePath));
    command.arguments.push_back(word(kEndOfSwitches));
    command.arguments.insert(command.arguments.end(), entryNames.begin(), entryNames.end());
    return command;
}

}  // namespace

bool isPassable(std::string_view text) { return platform::canPassAsArgument(text); }

platform::Result<ArchiverCommand> listingCommand(std::string_view archivePath, std::string_view password) {
    if (auto s = checkPassable("压缩文件路径", archivePath); !s) return s;
    if (auto s = checkPassable("密码", password); !s) return s;
    ArchiverCommand command;
    command.arguments = {word(kList), passwordArgument(password), word(archivePath)};
    command.outputFile = word(kListingFileName);
    return command;
}

platform::Result<ArchiverCommand> commentCommand(std::string_view archivePath, std::string_view password) {
    if (auto s = checkPassable("压缩文件路径", archivePath); !s) return s;
    if (auto s = checkPassable("密码", password); !s) return s;
    ArchiverCommand command;
    command.arguments = {word(kWriteComment), word(archivePath), word(kCommentFileName), passwordArgument(password)};
    return command;
}

platform::Result<ArchiverCommand> addCommand(std::string_view archivePath) {
    if (auto s = checkPassable("压缩文件路径", archivePath); !s) return s;
    ArchiverCommand command;
    command.arguments = {word(kAdd),         word(kNoEmptyFolders),
                         word(kExcludeBaseFolder), word(archivePath),
                         word(kListFileMarker) + word(kAddListFileName), passwordArgument(kFixedPassword)};
    return command;
}

platform::Result<ArchiverCommand> extractCommand(std::string_view archivePath, bool withPaths,
                                                 std::string_view destinationFolder) {
    if (auto s = checkPassable("压缩文件路径", archivePath); !s) return s;
    if (auto s = checkPassable("解压目录", destinationFolder); !s) return s;
    ArchiverCommand command;
    command.arguments = {word(withPaths ? kExtractWithPaths : kExtractFlat), word(kAssumeYes), word(archivePath),
                         word(destinationFolder), passwordArgument(kFixedPassword)};
    return command;
}

platform::Result<ArchiverCommand> deleteCommand(std::string_view archivePath, const std::vector<std::string>& entryNames) {
    return deletion(archivePath, entryNames, false);
}

platform::Result<ArchiverCommand> planDeleteCommand(std::string_view archivePath,
                                                    const std::vector<std::string>& entryNames) {
    return deletion(archivePath, entryNames, true);
}

}  // namespace commandlines
