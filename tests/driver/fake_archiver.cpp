// A stand-in for myrar in the driver tests: written out as myrar.exe and run like it, it
// records its arguments and then does what the file "fake-archiver.script" in its working
// directory says, one action a line:
//   echo-args              print each argument (after the program name) and CR LF
//   print FILE             copy FILE to standard output
//   copy-to-arg FILE N     write FILE's bytes to the file named by argument N, refusing (exit
//                          2) when it exists, as the archiver asks before overwriting
//   keep-arg N FILE        copy the file named by argument N to FILE, if it exists
//   flood N                print N bytes of a counting pattern in writes of uneven sizes
//   split-character        print one GB18030 character in two writes with a pause between
//   sleep MS               pause
//   read-stdin             read standard input to its end and print how many bytes came
//   say-error TEXT         print TEXT (in GB18030) and CR LF to standard error
//   touch FILE             create FILE
//   lock FILE              take the file lock on FILE (touching FILE.waiting when it has to
//                          wait), then print "acquired"
//   exit N                 end with exit code N
// Without a script it behaves as echo-args. Every call is appended to "fake-archiver.calls":
// one argument a line (a backslash, CR and LF in it written as \\, \r and \n), then a
// line "<end>".
#include <unistd.h>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/file_lock.h"
#include "platform/paths.h"
#include "platform/program_arguments.h"
#include "platform/text_codec.h"

namespace {

std::string escaped(const std::string& argument) {
    std::string out;
    for (char c : argument) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

void writeAll(std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (n <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

// Names arrive as UTF-8; on Windows the narrow file functions would read them in the
// ANSI code page.
std::string readFile(const std::string& path) {
    std::ifstream in(platform::pathFromUtf8(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(platform::pathFromUtf8(path), ec);
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(platform::pathFromUtf8(path), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // The tests compare bytes: no CR may be put before each LF on the way out.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    const std::vector<std::string> args = platform::programArguments(argc, argv);
    {
        std::ofstream calls("fake-archiver.calls", std::ios::binary | std::ios::app);
        for (std::size_t i = 1; i < args.size(); ++i) calls << escaped(args[i]) << '\n';
        calls << "<end>\n";
    }
    auto arg = [&](const std::string& index) -> std::string {
        std::size_t i = std::stoul(index);
        return i < args.size() ? args[i] : std::string();
    };

    std::string script = exists("fake-archiver.script") ? readFile("fake-archiver.script") : "echo-args\n";
    std::istringstream lines(script);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string action, a, b;
        words >> action >> a >> b;
        if (action == "echo-args") {
            for (std::size_t i = 1; i < args.size(); ++i) writeAll(args[i] + "\r\n");
        } else if (action == "print") {
            writeAll(readFile(a));
        } else if (action == "copy-to-arg") {
            std::string target = arg(b);
            if (exists(target)) return 2;
            writeFile(target, readFile(a));
        } else if (action == "keep-arg") {
            std::string source = arg(a);
            if (exists(source)) writeFile(b, readFile(source));
        } else if (action == "flood") {
            const std::size_t total = std::stoul(a);
            std::string bytes(total, '\0');
            for (std::size_t i = 0; i < total; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
            const std::size_t sizes[] = {1, 4095, 3, 4097, 8192, 17, 65536};
            std::size_t at = 0;
            for (std::size_t k = 0; at < total; ++k) {
                std::size_t n = std::min(sizes[k % std::size(sizes)], total - at);
                writeAll(std::string_view(bytes).substr(at, n));
                at += n;
            }
        } else if (action == "split-character") {
            // 完 in GB18030 is CD EA; the reader sees the lead byte alone first.
            writeAll("\xCD");
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            writeAll("\xEA\r\n");
        } else if (action == "read-stdin") {
            std::size_t count = 0;
            char buffer[256];
            for (ssize_t n; (n = ::read(STDIN_FILENO, buffer, sizeof buffer)) > 0;) count += static_cast<std::size_t>(n);
            writeAll(std::to_string(count) + "\r\n");
        } else if (action == "say-error") {
            std::string text = platform::encodeGb18030Lossy(a) + "\r\n";
            (void)!::write(STDERR_FILENO, text.data(), text.size());
        } else if (action == "sleep") {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::stoul(a)));
        } else if (action == "touch") {
            writeFile(a, "");
        } else if (action == "lock") {
            std::string waiting = a + ".waiting";
            auto lock = platform::FileLock::acquire(platform::pathFromUtf8(a), [&] { writeFile(waiting, ""); });
            if (!lock) return 3;
            writeAll("acquired\r\n");
        } else if (action == "exit") {
            return std::stoi(a);
        }
    }
    return 0;
}
