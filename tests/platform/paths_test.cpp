#include "platform/paths.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/temp_dir.h"

namespace {

using namespace platform;
using testsupport::TempDir;

#ifdef _WIN32
const wchar_t kStateVariable[] = L"LOCALAPPDATA";
const wchar_t kConfigVariable[] = L"APPDATA";
using Text = std::wstring;
Text variable(const wchar_t* name) {
    const wchar_t* v = ::_wgetenv(name);
    return v ? v : L"";
}
void setVariable(const wchar_t* name, const Text& value) { ::_wputenv_s(name, value.c_str()); }
#else
const char kStateVariable[] = "XDG_STATE_HOME";
const char kConfigVariable[] = "XDG_CONFIG_HOME";
using Text = std::string;
Text variable(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}
void setVariable(const char* name, const Text& value) { ::setenv(name, value.c_str(), 1); }
#endif
using Name = decltype(&kStateVariable[0]);

// Puts an environment variable back as it was when the test ends.
class SavedVariable {
public:
    explicit SavedVariable(Name name) : name_(name), value_(variable(name)) {}
    ~SavedVariable() { setVariable(name_, value_); }

private:
    Name name_;
    Text value_;
};

TEST(Paths, ProgramDirectoryHoldsTheRunningProgram) {
    const auto dir = programDirectory();
    EXPECT_TRUE(std::filesystem::exists(dir / std::filesystem::path(PROCESS_CHILD_PATH).filename()))
        << utf8FromPath(dir);
}

TEST(Paths, UserFoldersFollowTheirVariableAndAreCreated) {
    struct Case {
        Name variable;
        std::filesystem::path (*folder)();
    } cases[] = {{kStateVariable, userStateDirectory}, {kConfigVariable, userConfigDirectory}};
    for (const auto& c : cases) {
        TempDir dir;
        SavedVariable saved(c.variable);
        const auto base = dir.path() / pathFromUtf8("用户");
        setVariable(c.variable, base.native());
        const auto folder = c.folder();
        EXPECT_EQ(folder, base / "pimingbao");
        EXPECT_TRUE(std::filesystem::is_directory(folder));
        EXPECT_TRUE(isDirectoryWritable(folder));
    }
}

TEST(Paths, AFolderThatCannotTakeFilesIsNotWritable) {
    TempDir dir;
    EXPECT_TRUE(isDirectoryWritable(dir.path()));
    EXPECT_FALSE(isDirectoryWritable(dir / "missing"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 0);
}

}  // namespace
