#pragma once
// Starts the built programs as child processes the way a fault needs them: killed at a
// chosen moment, under a file-size limit, as an unprivileged user, or side by side.
// (Windows has neither file-size limits nor users to switch to: there the children run
// as the test does.)
#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testfaults {

#ifdef _WIN32
using UserId = int;
#else
using UserId = uid_t;
#endif

struct ChildOptions {
    std::filesystem::path workingDirectory;          // empty: the test's own
    std::optional<std::uint64_t> fileSizeLimit;      // RLIMIT_FSIZE, with SIGXFSZ ignored
    std::optional<UserId> user;                      // run as this user (and its group)
    std::map<std::string, std::string> environment;  // added to the test's own
};

struct ChildExit {
    int exitCode = -1;  // -1 when a signal ended it
    int signal = 0;
    bool terminated = false;  // Windows: ended by kill() while it ran
    std::string output;  // standard output and standard error, bytes as written

    bool killed() const { return signal != 0 || terminated; }
};

class Child {
public:
    // argv[0] is the program's path.
    static Child start(const std::vector<std::string>& argv, const ChildOptions& options = {});
    Child(Child&& other) noexcept;
    Child& operator=(Child&&) = delete;
    ~Child();  // kills and reaps a child still running

    void kill();
    ChildExit wait();

private:
#ifdef _WIN32
    Child(void* process, std::filesystem::path outputFile) : process_(process), outputFile_(std::move(outputFile)) {}
    void* process_ = nullptr;  // its HANDLE
    bool terminated_ = false;
#else
    Child(pid_t pid, std::filesystem::path outputFile) : pid_(pid), outputFile_(std::move(outputFile)) {}
    pid_t pid_ = -1;
#endif
    std::filesystem::path outputFile_;
};

ChildExit run(const std::vector<std::string>& argv, const ChildOptions& options = {});

ChildOptions withEnvironment(std::map<std::string, std::string> environment);

// The output as UTF-8 (the programs write GB18030).
std::string utf8(const std::string& gb18030);
// pimingbao-cli's output as UTF-8 (on Windows it writes its console's code page).
std::string cliText(const std::string& output);

// A user without privileges to run as when the tests run as root (as CI does), where
// permission bits would stop nothing; nullopt when the tests run unprivileged already.
std::optional<UserId> unprivilegedUser();
// Hands the tree to that user, so that it can work there as a normal owner would.
void giveTo(const std::filesystem::path& tree, std::optional<UserId> user);

}  // namespace testfaults
