#pragma once
// Running the built myrar in a folder and reading its output back as UTF-8.
#include <filesystem>
#include <functional>
#include <string>

#include "platform/text_codec.h"
#include "tests/rar_write/reader_tools.h"

namespace addextracttest {

struct MyrarRun {
    int exitCode = -1;
    std::string raw;   // GB18030, as written
    std::string text;  // UTF-8
};

// `arguments` is shell text (quote names with rarwritetest::quoted); `input` is fed to
// standard input.
inline MyrarRun runMyrar(const std::filesystem::path& workDir, const std::string& arguments,
                         const std::string& input = {}) {
    // Outside the work folder, so that adding "." never takes it.
    const auto inputFile = std::filesystem::temp_directory_path() /
                           ("myrar-input-" + std::to_string(std::hash<std::string>{}(workDir.string())));
    {
        FILE* f = std::fopen(inputFile.c_str(), "wb");
        if (f) {
            std::fwrite(input.data(), 1, input.size(), f);
            std::fclose(f);
        }
    }
    auto r = rarwritetest::run("cd " + rarwritetest::quoted(workDir) + " && " + MYRAR_PATH + " " + arguments +
                               " < " + rarwritetest::quoted(inputFile));
    std::filesystem::remove(inputFile);
    MyrarRun out;
    out.exitCode = r.exitCode;
    out.raw = r.output;
    out.text = platform::decodeGb18030Lossy(r.output);
    return out;
}

inline bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace addextracttest
