#include "cli/archive_paths.h"

#include <filesystem>
#include <set>
#include <system_error>

#include "platform/paths.h"

namespace cli {

platform::Result<CollectedArchives> collectArchives(const std::vector<std::string>& paths) {
    CollectedArchives collected;
    std::set<std::string> seen;
    auto take = [&](const std::string& path) {
        if (seen.insert(path).second) collected.archives.push_back(path);
    };
    for (const auto& given : paths) {
        std::error_code ec;
        auto absolute = std::filesystem::absolute(platform::pathFromUtf8(given), ec).lexically_normal();
        auto status = std::filesystem::status(absolute, ec);
        if (ec || !std::filesystem::exists(status)) {
            return platform::Status::failure("找不到：" + displayedPath(absolute) + "\nNo such file or folder: " +
                                             displayedPath(absolute));
        }
        if (std::filesystem::is_directory(status)) {
            // A trailing separator would leave an empty name at the end of the walk's paths.
            if (!absolute.has_filename()) absolute = absolute.parent_path();
            if (!isCarriableName(absolute)) {
                collected.skipped.push_back(SkippedName{displayedPath(absolute), std::string(kUncarriableFolderName)});
                continue;
            }
            for (auto& found : collectFromDirectory(absolute, &collected.skipped)) take(found);
        } else if (!isCarriableName(absolute)) {
            collected.skipped.push_back(SkippedName{displayedPath(absolute), std::string(kUncarriableArchiveName)});
        } else {
            take(platform::utf8FromPath(absolute));
        }
    }
    return collected;
}

std::string skippedNameLine(const SkippedName& skipped) { return "跳过：" + skipped.path + "（" + skipped.reason + "）"; }

}  // namespace cli
