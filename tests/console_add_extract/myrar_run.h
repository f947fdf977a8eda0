#pragma once
// Running the built myrar in a folder and reading its output back as UTF-8.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/text_codec.h"
#include "tests/rar_write/reader_tools.h"
#ifdef _WIN32
#include "tests/support/windows_child.h"
#endif

namespace addextracttest {

struct MyrarRun {
    int exitCode = -1;
    std::string raw;   // GB18030, as written
    std::string text;  // UTF-8
};

// Each argument is handed over as it is; `input` is fed to standard input. Standard error
// joins the output, in the order written.
inline MyrarRun runMyrar(const std::filesystem::path& workDir, const std::vector<std::string>& arguments,
                         const std::string& input = {}) {
    MyrarRun out;
#ifdef _WIN32
    const auto child = testsupport::runWindowsChild({MYRAR_PATH, arguments, {}, workDir, input, true});
    out.exitCode = child.exitCode;
    out.raw = child.started ? child.out : child.err;
#else
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
    std::string command = "cd " + rarwritetest::quoted(workDir) + " && " + MYRAR_PATH;
    for (const auto& a : arguments) command += " " + rarwritetest::quoted(a);
    auto r = rarwritetest::run(command + " < " + rarwritetest::quoted(inputFile));
    std::filesystem::remove(inputFile);
    out.exitCode = r.exitCode;
    out.raw = r.output;
#endif
    out.text = platform::decodeGb18030Lossy(out.raw);
    return out;
}

inline bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace addextracttest
