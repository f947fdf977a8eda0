#include "cli/cli_options.h"

#include <optional>

#include "jobs/naming_rules.h"
#include "platform/paths.h"
#include "platform/text_codec_file.h"

namespace cli {
namespace {

using platform::Status;
using Command = CliOptions::Command;

Status bad(const std::string& chinese, const std::string& english) {
    return Status::failure(chinese + "\n" + english);
}

}  // namespace

platform::Result<CliOptions> parseCliOptions(const std::vector<std::string>& args) {
    CliOptions o;
    for (std::size_t i = 1; i < args.size() && args[i] != "--"; ++i) {
        if (args[i] == "--help" || args[i] == "-h") return o;
    }
    if (args.size() < 2) return bad("缺少命令：rename、clean 或 undo。", "Missing command: rename, clean or undo.");

    const std::string& command = args[1];
    if (command == "help") return o;
    bool rename = command == "rename";
    if (!rename && command != "clean" && command != "undo") {
        return bad("未知的命令：" + command, "Unknown command: " + command);
    }

    std::optional<std::string> extension, prefix, start;
    bool optionsEnded = false;
    for (std::size_t i = 2; i < args.size(); ++i) {
        std::string arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            o.paths.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg, value;
        bool hasValue = false;
        if (auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            hasValue = true;
        }
        auto takeValue = [&]() -> bool {
            if (hasValue) return true;
            if (i + 1 >= args.size()) return false;
            value = args[++i];
            return true;
        };
        if (name == "--dry-run" && !hasValue && command != "undo") {
            o.dryRun = true;
            continue;
        }
        const bool known = (rename && (name == "--ext" || name == "--prefix" || name == "--start")) ||
                           (command == "clean" && (name == "--name" || name == "--names-file"));
        if (!known) return bad("命令 " + command + " 不认识选项 " + name, "Unknown option for " + command + ": " + name);
        if (!takeValue()) return bad("选项 " + name + " 缺少值", "Option " + name + " needs a value");
        if (name == "--name") {
            o.names.push_back(value);
            continue;
        }
        if (name == "--names-file") {
            o.namesFiles.push_back(value);
            continue;
        }
        auto& slot = name == "--ext" ? extension : name == "--prefix" ? prefix : start;
        if (slot) return bad("选项 " + name + " 只能给一次", "Option " + name + " given twice");
        slot = value;
    }

    if (command == "undo") {
        if (!o.paths.empty()) return bad("undo 不需要路径", "undo takes no path");
        o.command = Command::Undo;
        return o;
    }
    if (o.paths.empty()) return bad("缺少路径：至少给出一个压缩包或目录", "Missing PATH: give at least one archive or folder");

    if (command == "clean") {
        if (o.names.empty() && o.namesFiles.empty()) {
            return bad("clean 需要 --name 或 --names-file", "clean needs --name or --names-file");
        }
        o.command = Command::Clean;
        return o;
    }

    if (extension && (prefix || start)) {
        return bad("--ext 不能与 --prefix、--start 同时使用", "--ext cannot be combined with --prefix or --start");
    }
    if (extension) {
        if (jobs::normalizedExtension(*extension).empty()) return bad("后缀为空", "The extension is empty");
        o.command = Command::RenameByExtension;
        o.extension = *extension;
        return o;
    }
    if (!start) {
        return bad("rename 需要 --ext，或 --prefix 和 --start", "rename needs --ext, or --prefix and --start");
    }
    // The window's box takes a minus sign too, and names nothing with it; here it is a
    // mistake to say before anything runs.
    if (!jobs::isStartNumber(*start)) {
        return bad("起始序号只能由数字0到9组成：" + *start, "The start number must be digits 0 to 9: " + *start);
    }
    o.command = Command::RenameByNumber;
    o.prefix = prefix.value_or("");
    o.startNumber = *start;
    return o;
}

platform::Result<std::string> readNamesFile(const std::string& file) {
    auto decoded = platform::readTextFile(platform::pathFromUtf8(file));
    if (!decoded) return decoded.status();
    return std::move(decoded->text);
}

}  // namespace cli
