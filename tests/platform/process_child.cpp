// A child for the process runner's tests: does what its first argument says and prints
// its other arguments as it received them, UTF-8, one a line.
//   args A B ...     prints A, B, ... each followed by "\n"
//   exit N           ends with exit code N
//   stdin            prints how many bytes its standard input gave before its end
//   touch NAME       creates NAME in its working directory
//   flood N          prints N bytes of a fixed pattern
//   stderr TEXT      prints TEXT to its standard error
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace {

int run(const std::vector<std::string>& args) {
    if (args.empty()) return 2;
    const std::string& command = args[0];
    if (command == "args") {
        for (std::size_t i = 1; i < args.size(); ++i) std::printf("%s\n", args[i].c_str());
    } else if (command == "exit" && args.size() == 2) {
        return std::atoi(args[1].c_str());
    } else if (command == "stdin") {
        std::size_t n = 0;
        while (std::getchar() != EOF) ++n;
        std::printf("%zu\n", n);
    } else if (command == "touch" && args.size() == 2) {
        FILE* f = std::fopen(args[1].c_str(), "wb");
        if (!f) return 3;
        std::fclose(f);
    } else if (command == "flood" && args.size() == 2) {
        const long total = std::atol(args[1].c_str());
        for (long i = 0; i < total; ++i) std::putchar(static_cast<char>((i * 7 + i / 251) & 0xFF));
    } else if (command == "stderr" && args.size() == 2) {
        std::fprintf(stderr, "%s\n", args[1].c_str());
    } else {
        return 2;
    }
    std::fflush(stdout);
    return 0;
}

}  // namespace

#ifdef _WIN32
// The wide entry point: the C runtime splits the command line into UTF-16 arguments, as
// it does for every program the runner starts.
int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const int n = ::WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string utf8(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
        if (n > 1) ::WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, utf8.data(), n, nullptr, nullptr);
        args.push_back(utf8);
    }
    return run(args);
}
#else
int main(int argc, char** argv) { return run(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
