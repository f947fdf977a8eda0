#include "archiver/console/list_file.h"

#include "archiver/rar/utf16_codec.h"
#include "platform/file.h"
#include "platform/text_codec.h"

namespace console {
namespace {

std::string toUtf8(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return std::string(bytes.substr(3));
    if (bytes.substr(0, 2) == "\xFF\xFE") {
        std::u16string units;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
            units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                  static_cast<unsigned char>(bytes[i + 1]) << 8));
        return rar::utf8FromUtf16(units);
    }
    return platform::decodeGb18030Lossy(bytes);
}

std::string_view trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\x0B' || c == '\f'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

std::vector<std::string> namesFromListText(std::string_view bytes) {
    const std::string text = toUtf8(bytes);
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string_view name = trimmed(std::string_view(text).substr(start, end - start));
        if (!name.empty()) names.emplace_back(name);
        start = end + 1;
    }
    return names;
}

platform::Result<std::vector<std::string>> readListFile(const std::filesystem::path& path) {
    auto file = platform::ReadableFile::open(path);
    if (!file) return file.status();
    if (file->size() > kMaxListFileSize) return platform::Status::failure("列表文件太大");
    auto bytes = platform::readWholeFile(path);
    if (!bytes) return bytes.status();
    return namesFromListText(*bytes);
}

}  // namespace console
