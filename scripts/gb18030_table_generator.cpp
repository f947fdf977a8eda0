// Writes platform/gb18030_table_win32.cpp: the GB18030 mapping of the C library's iconv,
// as tables for the Windows build (see scripts/generate-gb18030-table.sh for why).
#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kTrailCount = 190;  // 0x40-0x7E and 0x80-0xFE

std::string utf32(char32_t c) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((c >> (8 * i)) & 0xFF);
    return s;
}

// One conversion of a whole input; false when iconv refuses any part of it.
bool convert(const char* to, const char* from, const std::string& in, std::string& out) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    char* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char buffer[64];
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1) || inLeft != 0) return false;
    out.assign(buffer, static_cast<size_t>(outPtr - buffer));
    return true;
}

long decode(const std::string& gb) {
    std::string out;
    if (!convert("UTF-32LE", "GB18030", gb, out) || out.size() != 4) return -1;
    return static_cast<long>(static_cast<unsigned char>(out[0]) | static_cast<unsigned char>(out[1]) << 8 |
                             static_cast<unsigned char>(out[2]) << 16 | static_cast<unsigned long>(static_cast<unsigned char>(out[3])) << 24);
}

int trailByte(int index) { return index < 0x3F ? index + 0x40 : index + 0x41; }

long linearOf(const std::string& s) {
    auto b = [&](int i) { return static_cast<long>(static_cast<unsigned char>(s[i])); };
    return (((b(0) - 0x81) * 10 + (b(1) - 0x30)) * 126 + (b(2) - 0x81)) * 10 + (b(3) - 0x30);
}

std::string fourBytes(long linear) {
    std::string s(4, '\0');
    s[3] = static_cast<char>(0x30 + linear % 10);
    linear /= 10;
    s[2] = static_cast<char>(0x81 + linear % 126);
    linear /= 126;
    s[1] = static_cast<char>(0x30 + linear % 10);
    linear /= 10;
    s[0] = static_cast<char>(0x81 + linear);
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.cpp\n", argv[0]);
        return 2;
    }
    for (int c = 0; c < 0x80; ++c) {
        if (decode(std::string(1, static_cast<char>(c))) != c) {
            std::fprintf(stderr, "single byte %02x is not ASCII\n", c);
            return 1;
        }
    }

    std::vector<std::uint32_t> two(126 * kTrailCount, 0);
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int t = 0; t < kTrailCount; ++t) {
            long cp = decode(std::string{static_cast<char>(lead), static_cast<char>(trailByte(t))});
            if (cp > 0) two[(lead - 0x81) * kTrailCount + t] = static_cast<std::uint32_t>(cp);
        }
    }

    // Four-byte codes of the BMP, as runs of consecutive codes for consecutive code points.
    struct Range { long linear, codePoint, count; };
    std::vector<Range> ranges;
    for (long linear = 0; linear < 4 * 10 * 126 * 10; ++linear) {
        long cp = decode(fourBytes(linear));
        if (cp < 0) continue;
        if (cp > 0xFFFF) {
            std::fprintf(stderr, "four-byte BMP code outside the BMP\n");
            return 1;
        }
        if (!ranges.empty() && ranges.back().linear + ranges.back().count == linear &&
            ranges.back().codePoint + ranges.back().count == cp) {
            ++ranges.back().count;
        } else {
            ranges.push_back({linear, cp, 1});
        }
    }

    // Encoding is the inverse of decoding (the first code wins), except where the C library
    // encodes a code point otherwise: those are listed.
    // Supplementary code points follow one formula from 0x90308130 on.
    std::vector<long> inverse(0x110000, -1);
    for (std::size_t i = 0; i < two.size(); ++i) {
        if (two[i] && inverse[two[i]] < 0) {
            inverse[two[i]] = static_cast<long>(((0x81 + i / kTrailCount) << 8) | trailByte(static_cast<int>(i % kTrailCount)));
        }
    }
    for (const auto& r : ranges) {
        for (long k = 0; k < r.count; ++k) {
            if (inverse[r.codePoint + k] < 0) inverse[r.codePoint + k] = 0x1000000 + r.linear + k;
        }
    }
    const long supplementaryStart = linearOf("\x90\x30\x81\x30");
    for (long cp = 0x10000; cp <= 0x10FFFF; ++cp) {
        if (inverse[cp] < 0) inverse[cp] = 0x1000000 + supplementaryStart + (cp - 0x10000);
    }
    struct Exception { long codePoint, code; };
    std::vector<Exception> exceptions;
    for (long cp = 0x80; cp <= 0x10FFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        std::string gb;
        long code = -1;
        if (convert("GB18030", "UTF-32LE", utf32(static_cast<char32_t>(cp)), gb)) {
            if (gb.size() == 2) code = (static_cast<unsigned char>(gb[0]) << 8) | static_cast<unsigned char>(gb[1]);
            else if (gb.size() == 4) code = 0x1000000 + linearOf(gb);
            else if (gb.size() == 1) code = static_cast<unsigned char>(gb[0]);
        }
        if (code != inverse[cp]) exceptions.push_back({cp, code < 0 ? 0 : code});
    }

    FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(out,
                 "// Generated by scripts/generate-gb18030-table.sh from the GB18030 converter of the\n"
                 "// C library (iconv); do not edit.\n"
                 "#include \"platform/gb18030_table.h\"\n\n"
                 "namespace platform::gb18030 {\n\n"
                 "const char32_t kTwoByteCodes[kTwoByteCount] = {\n");
    for (std::size_t i = 0; i < two.size(); ++i) {
        std::fprintf(out, "%s0x%04x,%s", i % 12 == 0 ? "    " : "", static_cast<unsigned>(two[i]), i % 12 == 11 || i + 1 == two.size() ? "\n" : " ");
    }
    std::fprintf(out, "};\n\nconst FourByteRange kFourByteRanges[] = {\n");
    for (const auto& r : ranges) std::fprintf(out, "    {%ld, 0x%04lx, %ld},\n", r.linear, r.codePoint, r.count);
    std::fprintf(out, "};\nconst std::size_t kFourByteRangeCount = %zu;\n\n", ranges.size());
    std::fprintf(out, "const EncodingException kEncodingExceptions[] = {\n");
    for (const auto& e : exceptions) std::fprintf(out, "    {0x%04lx, 0x%07lx},\n", e.codePoint, e.code);
    if (exceptions.empty()) std::fprintf(out, "    {0, 0},\n");
    std::fprintf(out, "};\nconst std::size_t kEncodingExceptionCount = %zu;\n\n}  // namespace platform::gb18030\n", exceptions.size());
    std::fclose(out);
    std::fprintf(stderr, "%zu four-byte ranges, %zu encoding exceptions\n", ranges.size(), exceptions.size());
    return 0;
}
