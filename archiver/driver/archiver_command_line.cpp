#include "archiver/driver/archiver_command_line.h"

#include <array>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The characters a command interpreter acts on outside quotes.
bool isOperator(char c) { return c == '>' || c == '<' || c == '|' || c == '&'; }

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool startsWithWord(std::string_view text, std::string_view word) {
    if (text.size() < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (lower(text[i]) != word[i]) return false;
    }
    return true;
}

std::string_view skipBlanks(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    return text.substr(i);
}

// One prefix: the interpreter's name, blanks, "/c", and at least one blank.
bool stripOnePrefix(std::string_view& line) {
    static constexpr std::array<std::string_view, 3> kInterpreters = {"cmd.exe", "command.exe", "cmd"};
    std::string_view rest = skipBlanks(line);
    for (std::string_view name : kInterpreters) {
        if (!startsWithWord(rest, name)) continue;
        std::string_view afterName = rest.substr(name.size());
        if (afterName.empty() || !isBlank(afterName.front())) continue;
        afterName = skipBlanks(afterName);
        if (!startsWithWord(afterName, "/c")) continue;
        std::string_view afterSwitch = afterName.substr(2);
        if (afterSwitch.empty() || !isBlank(afterSwitch.front())) continue;
        line = skipBlanks(afterSwitch);
        return true;
    }
    return false;
}

// Reads one argument from `pos` under the rules of CommandLineToArgvW: 2n backslashes
// before a quote give n backslashes and the quote opens or closes quoting; 2n+1 give n
// backslashes and a literal quote; other backslashes are literal; inside quotes a doubled
// quote gives one literal quote. Outside quotes the argument ends at a blank or an operator.
std::string readArgument(std::string_view line, std::size_t& pos) {
    std::string arg;
    int quotes = 0;  // 1 while inside quotes, as the Windows parser counts them
    std::size_t backslashes = 0;
    while (pos < line.size()) {
        char c = line[pos];
        if (quotes == 0 && (isBlank(c) || isOperator(c))) break;
        if (c == '\\') {
            ++backslashes;
            ++pos;
            continue;
        }
        if (c == '"') {
            arg.append(backslashes / 2, '\\');
            if (backslashes % 2 == 0) {
                ++quotes;
            } else {
                arg += '"';
            }
            backslashes = 0;
            ++pos;
            while (pos < line.size() && line[pos] == '"') {
                if (++quotes == 3) {
                    arg += '"';
                    quotes = 0;
                }
                ++pos;
            }
            if (quotes == 2) quotes = 0;
            continue;
        }
        arg.append(backslashes, '\\');
        backslashes = 0;
        arg += c;
        ++pos;
    }
    arg.append(backslashes, '\\');
    return arg;
}

// The program name ends at the next quote when it begins with one, else at a blank; no
// backslash is special in it.
std::string readProgramName(std::string_view line, std::size_t& pos) {
    std::string name;
    if (pos < line.size() && line[pos] == '"') {
        ++pos;
        while (pos < line.size() && line[pos] != '"') name += line[pos++];
        if (pos < line.size()) ++pos;
        return name;
    }
    while (pos < line.size() && !isBlank(line[pos]) && !isOperator(line[pos])) name += line[pos++];
    return name;
}

}  // namespace

std::string_view stripInterpreterPrefixes(std::string_view line) {
    while (stripOnePrefix(line)) {
    }
    return line;
}

platform::Result<ArchiverCommandLine> parseArchiverCommandLine(std::string_view fullLine) {
    for (char c : fullLine) {
        // A line end would end the command for an interpreter and the rest would be lost
        // or run as a second command; NUL cannot reach a program at all.
        auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t') || u == 0x7F) {
            return platform::Status::failure("命令行中含有控制字符");
        }
    }
    std::string_view line = stripInterpreterPrefixes(fullLine);
    ArchiverCommandLine parsed;
    std::size_t pos = 0;
    std::string program = readProgramName(line, pos);
    if (program.empty()) return platform::Status::failure("命令行中没有程序名");
    parsed.arguments.push_back(std::move(program));

    bool redirected = false;
    for (;;) {
        while (pos < line.size() && isBlank(line[pos])) ++pos;
        if (pos >= line.size()) break;
        char c = line[pos];
        if (c == '>') {
            if (redirected) return platform::Status::failure("命令行把输出重定向了两次");
            redirected = true;
            ++pos;
            if (pos < line.size() && line[pos] == '>') {
                parsed.appendOutput = true;
                ++pos;
            }
            while (pos < line.size() && isBlank(line[pos])) ++pos;
            if (pos >= line.size() || isOperator(line[pos])) {
                return platform::Status::failure("命令行的输出重定向没有目标文件");
            }
            parsed.outputFile = readArgument(line, pos);
            if (parsed.outputFile.empty()) return platform::Status::failure("命令行的输出重定向没有目标文件");
            continue;
        }
        if (isOperator(c)) {
            return platform::Status::failure(std::string("命令行中的“") + c + "”需要命令解释器");
        }
        parsed.arguments.push_back(readArgument(line, pos));
    }
    return parsed;
}
