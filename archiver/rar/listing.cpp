#include "archiver/rar/listing.h"

#include <ctime>
#include <limits>

namespace rar {
namespace {

std::string rightAligned(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string number(std::uint64_t n) { return std::to_string(n); }

void appendRightAligned(std::string& out, const std::string& text, std::size_t width) {
    if (text.size() < width) out.append(width - text.size(), ' ');
    out += text;
}

std::uint64_t percent(std::uint64_t part, std::uint64_t whole) {
    if (whole == 0) return 0;
    if (part <= std::numeric_limits<std::uint64_t>::max() / 100) return part * 100 / whole;
    return static_cast<std::uint64_t>(static_cast<long double>(part) * 100 / static_cast<long double>(whole));
}

std::string withoutControls(const std::string& text, bool keepTabs) {
    std::string out = text;
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && !(keepTabs && c == '\t')) || u == 0x7F) c = '?';
    }
    return out;
}

std::string unixMode(std::uint64_t mode, bool isDirectory) {
    std::string s(10, '-');
    switch (mode & 0xF000) {
        case 0x4000: s[0] = 'd'; break;
        case 0xA000: s[0] = 'l'; break;
        case 0x2000: s[0] = 'c'; break;
        case 0x6000: s[0] = 'b'; break;
        case 0x1000: s[0] = 'p'; break;
        case 0xC000: s[0] = 's'; break;
        default: if (isDirectory) s[0] = 'd'; break;
    }
    const char letters[] = "rwxrwxrwx";
    for (int i = 0; i < 9; ++i)
        if (mode & (1u << (8 - i))) s[static_cast<std::size_t>(i + 1)] = letters[i];
    if (mode & 0x800) s[3] = (mode & 0100) ? 's' : 'S';
    if (mode & 0x400) s[6] = (mode & 0010) ? 's' : 'S';
    if (mode & 0x200) s[9] = (mode & 0001) ? 't' : 'T';
    return s;
}


}  // namespace

std::string listingNameLine(const Entry& entry) {
    return std::string(1, entry.encrypted ? '*' : ' ') + withoutControls(entry.path, false);
}

std::string listingRatio(const Entry& e) {
    if (e.splitBefore && e.splitAfter) return " <->";
    if (e.splitBefore) return " <--";
    if (e.splitAfter) return " -->";
    return rightAligned(number(percent(e.packedSize, e.unpackedSize)), 3) + "%";
}

std::string listingDateTime(const EntryTime& t) {
    unsigned day = 0, month = 0, year = 0, hour = 0, minute = 0;
    if (t.kind == EntryTime::Kind::DosLocal) {
        day = (t.dos >> 16) & 31;
        month = (t.dos >> 21) & 15;
        year = ((t.dos >> 25) & 127) + 1980;
        hour = (t.dos >> 11) & 31;
        minute = (t.dos >> 5) & 63;
    } else if (t.kind == EntryTime::Kind::UnixUtc) {
        // RAR5 keeps UTC; the listing shows the local time, as RAR4's DOS times are.
        // std::localtime's shared buffer is fine in a one-threaded console program.
        const std::time_t seconds = static_cast<std::time_t>(t.unixSeconds);
        if (const std::tm* tm = std::localtime(&seconds)) {
            day = static_cast<unsigned>(tm->tm_mday);
            month = static_cast<unsigned>(tm->tm_mon + 1);
            year = static_cast<unsigned>(tm->tm_year + 1900);
            hour = static_cast<unsigned>(tm->tm_hour);
            minute = static_cast<unsigned>(tm->tm_min);
        }
    }
    std::string out;
    out.reserve(14);
    for (const unsigned part : {day, month, year, hour, minute}) {
        if (!out.empty()) out += out.size() == 8 ? ' ' : (out.size() == 11 ? ':' : '-');
        out += static_cast<char>('0' + part % 100 / 10);
        out += static_cast<char>('0' + part % 10);
    }
    return out;
}

std::string listingAttributes(const Entry& e) {
    if (e.unixHost()) return unixMode(e.attributes, e.isDirectory);
    static const struct {
        char letter;
        std::uint64_t bit;
    } kLetters[] = {{'V', 0x08}, {'D', 0x10}, {'R', 0x01}, {'H', 0x02}, {'S', 0x04}, {'A', 0x20}, {'C', 0x800}};
    std::string s = " ";
    for (const auto& l : kLetters) s += (e.attributes & l.bit) ? l.letter : '.';
    if (e.isDirectory) s[2] = 'D';
    return s + "  ";
}

std::string listingMethod(const Entry& e) {
    std::string s = " m";
    s += e.method <= 5 ? static_cast<char>('0' + e.method) : '?';
    if (e.isDirectory) return s + " ";
    if (e.format == Format::Rar4) {
        s += e.dictionaryCode <= 6 ? static_cast<char>('a' + e.dictionaryCode) : ' ';
    } else {
        // RAR5 dictionaries start at 128 KB, the size RAR4's letter b stands for.
        s += static_cast<char>('b' + std::min(e.dictionaryCode, 24u));
    }
    return s;
}

std::string listingVersion(const Entry& e) {
    if (e.format == Format::Rar5) return e.version == 0 ? " 5.0" : (e.version == 1 ? " 7.0" : " ?.?");
    return " " + number(e.version / 10 % 10) + "." + number(e.version % 10);
}

std::string listingDetailsLine(const Entry& e) {
    // One line per entry of a listing that may have many: built in one buffer.
    static constexpr char kHex[] = "0123456789ABCDEF";
    const std::uint32_t crc = e.crc32.value_or(0);
    std::string line;
    line.reserve(80);
    line.append(14, ' ');
    appendRightAligned(line, e.unpackedSizeKnown ? number(e.unpackedSize) : "?", 8);
    line += ' ';
    appendRightAligned(line, number(e.packedSize), 8);
    line += ' ';
    line += listingRatio(e);
    line += ' ';
    line += listingDateTime(e.mtime);
    line += ' ';
    line += listingAttributes(e);
    line += ' ';
    for (int shift = 28; shift >= 0; shift -= 4) line += kHex[(crc >> shift) & 0xF];
    line += listingMethod(e);
    line += listingVersion(e);
    return line;
}

void ListingTotals::add(const Entry& e) {
    packed += e.packedSize;
    if (e.splitBefore) return;
    ++count;
    unpacked += e.unpackedSize;
}

std::string listingTotalsLine(const ListingTotals& t) {
    return rightAligned(number(t.count), 5) + " " + rightAligned(number(t.unpacked), 16) + " " +
           rightAligned(number(t.packed), 8) + " " + rightAligned(number(percent(t.packed, t.unpacked)), 3) + "%";
}

std::vector<std::string> commentLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(withoutControls(current, true));
            current.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            current += c;
        }
    }
    if (!current.empty()) lines.push_back(withoutControls(current, true));
    return lines;
}

}  // namespace rar
