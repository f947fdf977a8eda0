// Runs one command and prints what it cost, on one line:
//   <wall microseconds> <peak resident KiB> <bytes read> <bytes written> <exit status>
// The bytes are the kernel's per-process counts (/proc/<pid>/io rchar and wchar: every
// read, pread, copy_file_range and sendfile, cached or not) of the command and of every
// child it waited for. They are read while the command is a zombie, after it has ended
// but before it is reaped, so nothing it did is missed and nothing else is counted.
//   measure [--out FILE] [--in FILE] -- COMMAND [ARG...]
// Standard output goes to FILE (default /dev/null), standard input comes from FILE
// (default /dev/null); standard error is passed through.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>

namespace {

long long field(const std::string& ioText, const char* name) {
    const std::string key = std::string(name) + ": ";
    auto at = ioText.find(key);
    if (at == std::string::npos) return -1;
    return std::atoll(ioText.c_str() + at + key.size());
}

int usage() {
    std::fprintf(stderr, "usage: measure [--out FILE] [--in FILE] -- COMMAND [ARG...]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const char* out = "/dev/null";
    const char* in = "/dev/null";
    int i = 1;
    for (; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            ++i;
            break;
        }
        if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
            out = argv[++i];
        } else if (std::strcmp(argv[i], "--in") == 0 && i + 1 < argc) {
            in = argv[++i];
        } else {
            return usage();
        }
    }
    if (i >= argc) return usage();

    timespec start{}, end{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("fork");
        return 2;
    }
    if (pid == 0) {
        const int outFd = open(out, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int inFd = open(in, O_RDONLY);
        if (outFd < 0 || inFd < 0) _exit(126);
        dup2(outFd, 1);
        dup2(inFd, 0);
        close(outFd);
        close(inFd);
        execvp(argv[i], argv + i);
        std::fprintf(stderr, "measure: cannot run %s: %s\n", argv[i], std::strerror(errno));
        _exit(127);
    }

    // Wait for the end without reaping, so that /proc still holds the counts.
    siginfo_t info{};
    while (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) != 0) {
        if (errno != EINTR) {
            std::perror("waitid");
            return 2;
        }
    }
    clock_gettime(CLOCK_MONOTONIC, &end);
    std::string ioText;
    {
        std::ifstream io("/proc/" + std::to_string(pid) + "/io");
        std::getline(io, ioText, '\0');
    }
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            std::perror("wait4");
            return 2;
        }
    }
    const long long micros = (end.tv_sec - start.tv_sec) * 1000000LL + (end.tv_nsec - start.tv_nsec) / 1000;
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::printf("%lld %ld %lld %lld %d\n", micros, usage.ru_maxrss, field(ioText, "rchar"), field(ioText, "wchar"),
                code);
    return 0;
}
