#include "platform/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "platform/paths.h"
#include "platform/system_error_text.h"

extern char** environ;

namespace platform {
namespace {

// Small on purpose: the archiver's output crosses several reads, and nothing about the
// result may depend on where the seams fall.
constexpr std::size_t kReadBufferSize = 4096;

std::string describe(const std::string& what, const std::filesystem::path& path, int error) {
    return what + " " + utf8FromPath(path) + "：" + describeSystemError(std::error_code(error, std::generic_category()));
}

class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { reset(); }
    int get() const { return fd_; }
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

class SpawnSetup {
public:
    SpawnSetup() {
        ::posix_spawn_file_actions_init(&actions_);
        ::posix_spawnattr_init(&attributes_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
    ~SpawnSetup() {
        ::posix_spawnattr_destroy(&attributes_);
        ::posix_spawn_file_actions_destroy(&actions_);
    }
    posix_spawn_file_actions_t* actions() { return &actions_; }
    posix_spawnattr_t* attributes() { return &attributes_; }

private:
    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attributes_;
};

// A signal this process ignores would stay ignored in the child; the archiver gets the
// default behaviour whatever the front end (a window toolkit, a terminal) set up.
int resetSignals(posix_spawnattr_t* attributes) {
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int sig : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD}) sigaddset(&defaults, sig);
    if (int e = ::posix_spawnattr_setsigmask(attributes, &none)) return e;
    if (int e = ::posix_spawnattr_setsigdefault(attributes, &defaults)) return e;
    return ::posix_spawnattr_setflags(attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
}

// Reads the child's output until the pipe ends. A process the child started and left
// running may hold the pipe open long after the child has ended; once the child has ended,
// what is already in the pipe is all of its output, so the reading stops there.
void readOutput(int readEnd, pid_t pid, std::string& output) {
    std::array<char, kReadBufferSize> buffer;
    const int childEnded = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (childEnded < 0) {
        // A kernel without pidfd_open: read to the end of the pipe.
        for (;;) {
            ssize_t n = ::read(readEnd, buffer.data(), buffer.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return;
            output.append(buffer.data(), static_cast<std::size_t>(n));
        }
    }
    Descriptor owner(childEnded);
    bool ended = false;
    for (;;) {
        std::array<pollfd, 2> waits{pollfd{readEnd, POLLIN, 0}, pollfd{childEnded, POLLIN, 0}};
        if (::poll(waits.data(), ended ? 1 : 2, ended ? 0 : -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (!ended && (waits[1].revents & POLLIN)) ended = true;
        if (waits[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            ssize_t n = ::read(readEnd, buffer.data(), buffer.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return;
            output.append(buffer.data(), static_cast<std::size_t>(n));
        } else if (ended) {
            return;  // the child has ended and the pipe holds nothing more
        }
    }
}

}  // namespace

Result<ProcessOutcome> runProcess(const ProcessRequest& request) {
    if (request.program.empty()) return Status::failure("无法启动程序：没有程序名");

    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return Status::failure(describe("无法创建管道以启动", request.program, errno));
    Descriptor readEnd(pipeEnds[0]);
    Descriptor writeEnd(pipeEnds[1]);

    Descriptor outputFile;
    if (!request.outputFile.empty()) {
        auto target = request.outputFile;
        if (target.is_relative() && !request.workingDirectory.empty()) target = request.workingDirectory / target;
        int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | (request.appendToOutputFile ? O_APPEND : O_TRUNC);
        int fd = ::open(target.c_str(), flags, 0644);
        if (fd < 0) return Status::failure(describe("无法打开输出文件", target, errno));
        outputFile.reset(fd);
    }

    SpawnSetup setup;
    int e = ::posix_spawn_file_actions_addopen(setup.actions(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (!e) e = ::posix_spawn_file_actions_adddup2(setup.actions(), outputFile.get() >= 0 ? outputFile.get() : writeEnd.get(), STDOUT_FILENO);
    if (!e) e = ::posix_spawn_file_actions_adddup2(setup.actions(), writeEnd.get(), STDERR_FILENO);
    if (!e && !request.workingDirectory.empty())
        e = ::posix_spawn_file_actions_addchdir_np(setup.actions(), request.workingDirectory.c_str());
    if (!e) e = resetSignals(setup.attributes());
    if (e) return Status::failure(describe("无法准备启动", request.program, e));

    std::string name = request.programName.empty() ? request.program.filename().string() : request.programName;
    std::vector<char*> argv;
    argv.reserve(request.arguments.size() + 2);
    argv.push_back(name.data());
    std::vector<std::string> arguments = request.arguments;
    for (auto& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);

    pid_t pid = -1;
    e = ::posix_spawn(&pid, request.program.c_str(), setup.actions(), setup.attributes(), argv.data(), environ);
    if (e) {
        std::string where = request.workingDirectory.empty() ? std::string() : "（工作目录 " + utf8FromPath(request.workingDirectory) + "）";
        return Status::failure(describe("无法启动", request.program, e) + where);
    }

    // The pipe reports its end only once no process holds its write end any more.
    writeEnd.reset();
    outputFile.reset();

    ProcessOutcome outcome;
    readOutput(readEnd.get(), pid, outcome.output);
    readEnd.reset();

    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return outcome;
    }
    if (WIFEXITED(status)) {
        outcome.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        outcome.terminatingSignal = WTERMSIG(status);
    }
    return outcome;
}

}  // namespace platform
