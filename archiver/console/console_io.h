#pragma once
// The console as myrar uses it: UTF-8 text in, GB18030 out, every line ending in CR LF,
// and one-line answers read from standard input.
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace console {

class ConsoleIo {
public:
    ConsoleIo(std::ostream& out, std::istream& in) : out_(out), in_(in) {}

    void line(std::string_view utf8 = {});
    // Text without a line end: questions, and the completion text that ends a run (the
    // driver looks for it in the last bytes of the output).
    void text(std::string_view utf8);
    // Writes raw bytes unchanged (already GB18030).
    void raw(std::string_view bytes);
    // One line from standard input without its line end; nothing once input has ended.
    std::optional<std::string> readAnswer();
    void flush();

private:
    std::ostream& out_;
    std::istream& in_;
};

}  // namespace console
