#pragma once
// The user's last entries between runs: the four one-line texts in peizhi.ini (section
// "配置", keys "路径", "后缀", "前缀", "序号") and the delete list in 删除.txt, both with CR LF
// line ends, kept in the program's folder. A new file is GBK; a file the user saved in
// UTF-8 or UTF-16 (Notepad's choices) is read as such and written back in its own encoding,
// its byte-order mark included. A file that cannot be decoded is not loaded, which the
// window is told, and is left as it is unless the user types something to replace it.
//
// An installed copy may sit in a folder the user cannot write; then the files live in the
// per-user config folder instead. A file the program folder already holds is still read
// until the user's own copy exists, so shipped defaults apply on the first start.
// Saving goes through a temporary file and an atomic replace.
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

struct SettingsValues {
    std::string path;         // 编辑框_路径
    std::string extension;    // 编辑框_后缀
    std::string prefix;       // 编辑框_前缀
    std::string startNumber;  // 编辑框_序号
    std::string deleteList;   // 编辑框1, lines separated by CR LF

    bool operator==(const SettingsValues&) const = default;
};

class SettingsFile {
public:
    struct Places {
        std::filesystem::path programDirectory;
        // Asked only when the program folder cannot be written (it may create the folder).
        std::function<std::filesystem::path()> userDirectory;
        std::function<bool(const std::filesystem::path&)> isWritable;
    };

    explicit SettingsFile(Places places);
    // The running program's folder, with the platform's per-user config folder as fallback.
    static SettingsFile forThisProgram();

    struct Loaded {
        SettingsValues values;
        // One Chinese message, naming the file, for each file that could not be decoded.
        std::vector<std::string> problems;
    };

    // A missing or unreadable file, section or key gives empty text; never fails.
    Loaded loadReportingProblems() const;
    SettingsValues load() const { return loadReportingProblems().values; }
    // Writes all five values; when the chosen folder fails, tries the per-user one.
    platform::Status save(const SettingsValues& values) const;

    // Where load() reads and save() writes the file of that name.
    std::filesystem::path readPath(const std::filesystem::path& fileName) const;
    std::filesystem::path writeDirectory() const;

private:
    platform::Status saveInto(const std::filesystem::path& dir, const SettingsValues& values) const;

    Places places_;
};

// Line ends of the delete list as the edit box holds them: every LF, CR or CR LF becomes CR LF.
std::string withCrLf(std::string_view text);
