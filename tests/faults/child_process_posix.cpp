#include "tests/faults/child_process.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/text_codec.h"
#include "tests/support/redirected_output.h"

namespace testfaults {
namespace {

// The user nobody exists on every Debian system; its uid is fixed.
constexpr uid_t kNobody = 65534;

std::filesystem::path newOutputFile() {
    static std::atomic<unsigned> counter{0};
    return std::filesystem::temp_directory_path() /
           ("pimingbao-fault-output-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
}

[[noreturn]] void childFails(const char* what) {
    const char* reason = std::strerror(errno);
    (void)!::write(2, what, std::strlen(what));
    (void)!::write(2, ": ", 2);
    (void)!::write(2, reason, std::strlen(reason));
    (void)!::write(2, "\n", 1);
    ::_exit(127);
}

}  // namespace

Child Child::start(const std::vector<std::string>& argv, const ChildOptions& options) {
    if (argv.empty()) throw std::invalid_argument("no program to start");
    auto output = newOutputFile();
    // Everything the child needs is prepared before fork: after it only async-signal-safe
    // calls are allowed.
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<std::string> envText;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        if (options.environment.count(entry.substr(0, entry.find('=')))) continue;
        envText.push_back(entry);
    }
    for (const auto& [k, v] : options.environment) envText.push_back(k + "=" + v);
    std::vector<char*> env;
    for (auto& e : envText) env.push_back(e.data());
    env.push_back(nullptr);
    const std::string cwd = options.workingDirectory.string();
    const std::string outputPath = output.string();

    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
    if (pid == 0) {
        const int out = ::open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int in = ::open("/dev/null", O_RDONLY);
        if (out < 0 || in < 0) childFails("output file");
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(out, 2);
        if (!cwd.empty() && ::chdir(cwd.c_str()) != 0) childFails("chdir");
        if (options.fileSizeLimit) {
            // Ignored, the signal turns into EFBIG from the write, as on a full quota.
            ::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{static_cast<rlim_t>(*options.fileSizeLimit), static_cast<rlim_t>(*options.fileSizeLimit)};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) childFails("setrlimit");
        }
        if (options.user) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(*options.user) != 0 || ::setuid(*options.user) != 0)
                childFails("setuid");
        }
        ::execve(args[0], args.data(), env.data());
        childFails(args[0]);
    }
    return Child(pid, output);
}

Child::Child(Child&& other) noexcept : pid_(other.pid_), outputFile_(std::move(other.outputFile_)) { other.pid_ = -1; }

Child::~Child() {
    if (pid_ > 0) {
        kill();
        (void)wait();
    }
}

void Child::kill() {
    if (pid_ > 0) ::kill(pid_, SIGKILL);
}

ChildExit Child::wait() {
    ChildExit exit;
    if (pid_ <= 0) return exit;
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    if (WIFEXITED(status)) exit.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) exit.signal = WTERMSIG(status);
    std::ifstream in(outputFile_, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    exit.output = text.str();
    std::error_code ec;
    std::filesystem::remove(outputFile_, ec);
    return exit;
}

ChildExit run(const std::vector<std::string>& argv, const ChildOptions& options) {
    return Child::start(argv, options).wait();
}

ChildOptions withEnvironment(std::map<std::string, std::string> environment) {
    ChildOptions options;
    options.environment = std::move(environment);
    return options;
}

std::string utf8(const std::string& gb18030) { return platform::decodeGb18030Lossy(gb18030); }

std::string cliText(const std::string& output) { return testsupport::utf8FromRedirectedOutput(output); }

std::optional<uid_t> unprivilegedUser() {
    if (::geteuid() != 0) return std::nullopt;
    return kNobody;
}

void giveTo(const std::filesystem::path& tree, std::optional<uid_t> user) {
    if (!user) return;
    if (::lchown(tree.c_str(), *user, *user) != 0) throw std::runtime_error("chown " + tree.string());
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(tree, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (::lchown(it->path().c_str(), *user, *user) != 0) throw std::runtime_error("chown " + it->path().string());
    }
}

}  // namespace testfaults
