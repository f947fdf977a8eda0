#include "archiver/driver/command_lines.h"

namespace commandlines {
namespace {

// The pieces, each with its blanks; none is trimmed or joined with an extra blank.
constexpr std::string_view kInterpreterPrefix = "cmd /c ";
constexpr std::string_view kListingWithPassword = "myrar.exe v -p\"";
constexpr std::string_view kPasswordClose = "\" ";
constexpr std::string_view kRedirection = " >";
constexpr std::string_view kCommentCommand = "myrar.exe cw ";
constexpr std::string_view kSeparator = "  ";
constexpr std::string_view kCommentFileWithPassword = "mycomm.txt -p\"";
constexpr std::string_view kAddCommand = " a -ed -ep1 ";
constexpr std::string_view kExtractFlat = " e -y ";
constexpr std::string_view kExtractWithPaths = " x -y ";
constexpr std::string_view kDeleteCommand = " d -y ";
constexpr std::string_view kListFileMarker = " @";
constexpr std::string_view kPasswordSwitch = " -p\"";
constexpr std::string_view kOpeningQuoteAfterBlank = " \"";
constexpr std::string_view kQuote = "\"";
constexpr std::string_view kEndOfSwitches = " --";

std::string shown(std::string_view text) {
    std::string out;
    for (char c : text) {
        auto u = static_cast<unsigned char>(c);
        out += (u < 0x20 || u == 0x7F) ? '?' : c;
    }
    return out;
}

platform::Status checkPassable(std::string_view what, std::string_view text) {
    if (isPassable(text)) return platform::Status::success();
    return platform::Status::failure(std::string(what) + "含有双引号或控制字符，不能交给压缩程序：" + shown(text));
}

std::string_view effectivePassword(std::string_view password) {
    return password.empty() ? kFixedPassword : password;
}

}  // namespace

bool isPassable(std::string_view text) {
    for (char c : text) {
        auto u = static_cast<unsigned char>(c);
        if (c == '"' || u < 0x20 || u == 0x7F) return false;
    }
    return true;
}

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

platform::Result<std::string> listingCommandLine(std::string_view archivePath, std::string_view password) {
    password = effectivePassword(password);
    if (auto s = checkPassable("压缩文件路径", archivePath); !s) return s;
    if (auto s = checkPassable("密码", password); !s) return s;
    std::string line;
    line += kInterpreterPrefix;
    line += kListingWithPassword;
    line += password;
    line += kPasswordClose;
    line += quoted(archivePath);
    line += kRedirection;
    line += kListingFileName;
    return line;
}

platform::Result<std::string> commentCommandLine(std::string_view archivePath, std::string_view password) {
    password = effectivePassword(password);
    if (auto s = checkPassable("压缩文件路径", archivePath); !s) return s;
    if (auto s = checkPassable("密码", password); !s) return s;
    std::string line;
    line += kCommentCommand;
    line += quoted(archivePath);
    line += kSeparator;
    line += kCommentFileWithPassword;
    line += password;
    line += kQuote;
    return line;
}

platform::Result<std::string> addCommandLine(std::string_view archivePath) {
    if (auto s = checkPassable("压缩文件路径", archivePath); !s) return s;
    std::string line;
    line += kArchiverFileName;
    line += kAddCommand;
    line += kOpeningQuoteAfterBlank;
    line += withinQuotes(archivePath);
    line += kQuote;
    line += kListFileMarker;
    line += kAddListFileName;
    line += kPasswordSwitch;
    line += kFixedPassword;
    line += kQuote;
    return line;
}

platform::Result<std::string> extractCommandLine(std::string_view archivePath, bool withPaths,
                                                 std::string_view destinationFolder) {
    if (auto s = checkPassable("压缩文件路径", archivePath); !s) return s;
    if (auto s = checkPassable("解压目录", destinationFolder); !s) return s;
    std::string line;
    line += kArchiverFileName;
    line += withPaths ? kExtractWithPaths : kExtractFlat;
    line += quoted(archivePath);
    line += kOpeningQuoteAfterBlank;
    line += withinQuotes(destinationFolder);
    line += kQuote;
    line += kPasswordSwitch;
    line += kFixedPassword;
    line += kQuote;
    return line;
}

platform::Result<std::string> deleteCommandLine(std::string_view archivePath, const std::vector<std::string>& entryNames) {
    if (auto s = checkPassable("压缩文件路径", archivePath); !s) return s;
    for (const auto& name : entryNames) {
        if (auto s = checkPassable("文件名", name); !s) return s;
    }
    if (entryNames.empty()) return platform::Status::failure("没有要删除的文件名");
    std::string line;
    line += kArchiverFileName;
    line += kDeleteCommand;
    line += quoted(archivePath);
    line += kEndOfSwitches;
    for (const auto& name : entryNames) {
        line += kOpeningQuoteAfterBlank;
        line += withinQuotes(name);
        line += kQuote;
    }
    return line;
}

}  // namespace commandlines
