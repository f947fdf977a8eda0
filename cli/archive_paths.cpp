#include "cli/archive_paths.h"

#include <filesystem>
#include <set>
#include <system_error>

#include "platform/paths.h"
#include "ui/core/directory_walk.h"

namespace cli {

platform::Result<std::vector<std::string>> collectArchives(const std::vector<std::string>& paths) {
    std::vector<std::string> archives;
    std::set<std::string> seen;
    auto take = [&](const std::string& path) {
        if (seen.insert(path).second) archives.push_back(path);
    };
    for (const auto& given : paths) {
        std::error_code ec;
        auto absolute = std::filesystem::absolute(platform::pathFromUtf8(given), ec).lexically_normal();
        auto status = std::filesystem::status(absolute, ec);
        if (ec || !std::filesystem::exists(status)) {
            return platform::Status::failure("找不到：" + given + "\nNo such file or folder: " + given);
        }
        if (std::filesystem::is_directory(status)) {
            // A trailing separator would leave an empty name at the end of the walk's paths.
            if (!absolute.has_filename()) absolute = absolute.parent_path();
            for (auto& found : collectFromDirectory(absolute)) take(found);
        } else {
            take(platform::utf8FromPath(absolute));
        }
    }
    return archives;
}

}  // namespace cli
