#include "archiver/console/console_io.h"

#include <istream>
#include <ostream>

#include "platform/text_codec.h"

namespace console {

void ConsoleIo::line(std::string_view utf8) {
    // Texts of several lines carry plain line feeds; each line gets its CR LF here.
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = utf8.find('\n', start);
        std::string_view part = utf8.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!part.empty() && part.back() == '\r') part.remove_suffix(1);
        text(part);
        out_ << "\r\n";
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
}

void ConsoleIo::text(std::string_view utf8) { out_ << platform::encodeGb18030Lossy(utf8); }

void ConsoleIo::raw(std::string_view bytes) { out_ << bytes; }

std::optional<std::string> ConsoleIo::readAnswer() {
    out_.flush();
    std::string answer;
    if (!std::getline(in_, answer)) return std::nullopt;
    if (!answer.empty() && answer.back() == '\r') answer.pop_back();
    if (auto utf8 = platform::gb18030ToUtf8(answer)) return *utf8;
    return answer;
}

void ConsoleIo::flush() { out_.flush(); }

}  // namespace console
