#pragma once
// A fresh working directory whose myrar.exe is the fake archiver, with helpers to tell the
// fake what to do and to read back how it was called.
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "archiver/driver/archiver_runner.h"
#include "archiver/driver/status_sink.h"
#include "tests/support/temp_dir.h"

namespace drivertest {

// A path as the program's UTF-8 text, and a UTF-8 relative name under a folder.
std::string utf8(const std::filesystem::path& path);
std::filesystem::path under(const std::filesystem::path& folder, std::string_view utf8Name);

// A command of these arguments, its output not redirected.
inline ArchiverCommand commandOf(std::vector<std::string> arguments) {
    ArchiverCommand command;
    command.arguments = std::move(arguments);
    return command;
}

// The bytes of the built fake archiver, to be written out as the payload.
std::span<const unsigned char> fakeArchiverBytes();
std::filesystem::path fakeArchiverPath();

// A recorded or hand-made archiver output under tests/driver/data.
std::filesystem::path dataPath(std::string_view name);
std::string dataFile(std::string_view name);

// What a status sink received, in order.
struct RecordingSink {
    std::vector<std::string> texts;
    StatusSink sink();
};

class FakeWorkspace {
public:
    FakeWorkspace();

    const std::filesystem::path& dir() const { return temp_.path(); }
    std::filesystem::path operator/(std::string_view utf8Name) const { return under(temp_.path(), utf8Name); }
    // The same path as UTF-8 text, as the command set takes it.
    std::string at(std::string_view utf8Name) const { return utf8(*this / utf8Name); }
    const ArchiverRunner& runner() const { return runner_; }

    // The fake's actions for its next calls, one a line.
    void script(std::string_view actions) const;
    std::filesystem::path write(std::string_view name, std::string_view bytes) const { return temp_.write(name, bytes); }
    std::string read(std::string_view name) const;
    bool has(std::string_view name) const;
    // The argument lists of every call so far (program name left out).
    std::vector<std::vector<std::string>> calls() const;

private:
    testsupport::TempDir temp_;
    ArchiverRunner runner_;
};

}  // namespace drivertest
