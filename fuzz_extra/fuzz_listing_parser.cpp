// The driver's listing parser on hostile input, two ways per input:
//  - the bytes as they stand, as if the archiver had written them: whatever comes back is
//    well formed (a listed archive has entries with a marker and a path, a failure says why);
//  - the bytes read as a description of an archive (its comment, its entries, their
//    comments) and printed in the archiver's own layout: the parser must give back exactly
//    those entries, whatever the comments and names hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "archiver/driver/listing_parser.h"
#include "platform/text_codec.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

// As the archiver shows names and comment lines: control characters become '?', and
// comment lines keep their tabs.
std::string shown(std::string_view bytes, bool keepTabs) {
    std::string text = platform::decodeGb18030Lossy(bytes);
    for (char& c : text) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && !(keepTabs && c == '\t')) || u == 0x7F) c = '?';
    }
    return text;
}

std::vector<std::string_view> split(std::string_view text, char at) {
    std::vector<std::string_view> parts;
    while (true) {
        const auto end = text.find(at);
        parts.push_back(text.substr(0, end));
        if (end == std::string_view::npos) return parts;
        text.remove_prefix(end + 1);
    }
}

void checkRawListing(std::string_view bytes) {
    const Listing listing = listingFromOutput(bytes);
    if (!listing.listed) {
        check(listing.entries.empty());
        check(!listing.problem.empty());
        return;
    }
    for (const ListingEntry& e : listing.entries) {
        check(e.marker == ' ' || e.marker == '*');
        check(!e.path.empty());
        check(platform::isValidUtf8(e.path));
    }
}

// Layout of the description: an archive comment up to the first NUL byte (none without
// one), then one entry per line: a leading '*' marks encrypted data, a TAB starts the
// entry's own comment, whose lines a VT separates.
void checkPrintedListing(std::string_view bytes) {
    std::vector<std::string> lines = {"", "myrar 1.00  星禾批名宝的 RAR 控制台工具  2026-12-09",
                                      "用 myrar -? 查看命令、开关和退出代码的说明"};
    if (const auto nul = bytes.find('\0'); nul != std::string_view::npos) {
        for (auto line : split(bytes.substr(0, nul), '\n')) lines.push_back(shown(line, true));
        bytes.remove_prefix(nul + 1);
    }
    lines.insert(lines.end(), {"", "压缩包 D:\\资料\\测试.rar", ""});

    std::vector<ListingEntry> expected;
    std::vector<std::string> table;
    for (auto line : split(bytes, '\n')) {
        ListingEntry e;
        if (!line.empty() && line.front() == '*') {
            e.marker = '*';
            line.remove_prefix(1);
        }
        const auto tab = line.find('\t');
        e.path = shown(line.substr(0, tab), false);
        if (e.path.empty()) continue;  // every entry the archiver lists has a name
        table.push_back(std::string(1, e.marker) + e.path);
        table.push_back("                   12       12 100% 01-06-24 12:00  .....A.   1A2B3C4D m0a 2.9");
        if (tab != std::string_view::npos) {
            for (auto c : split(line.substr(tab + 1), '\v')) table.push_back("注释: " + shown(c, true));
        }
        expected.push_back(std::move(e));
    }
    if (expected.empty()) {
        lines.push_back("  0 文件");
    } else {
        lines.push_back("路径名称/注释");
        lines.push_back("                  大小     压缩  比率  日期   时间     属性      CRC   方法版本");
        lines.push_back(std::string(79, '-'));
        lines.insert(lines.end(), table.begin(), table.end());
        lines.push_back(std::string(79, '-'));
        lines.push_back("    " + std::to_string(expected.size()) + "       36       36 100%");
    }

    std::string output;
    for (const auto& l : lines) {
        auto encoded = platform::utf8ToGb18030(l);
        check(encoded.has_value());
        output += *encoded + "\r\n";
    }
    const Listing listing = listingFromOutput(output);
    check(listing.listed);
    check(listing.entries == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    checkRawListing(bytes);
    checkPrintedListing(bytes);
    return 0;
}
