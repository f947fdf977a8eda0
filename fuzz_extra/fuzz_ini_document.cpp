// The settings file's INI reader on hostile input: any bytes either decode in one of the
// encodings a text file is read in or are refused; decoded text parsed and written back is
// stable, also through its file encoding, and a value set through setValue reads back as it
// was set, after a save and a new load too, while every other key keeps its value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "platform/text_codec.h"
#include "platform/text_codec_file.h"
#include "ui/core/ini_document.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

constexpr std::string_view kSection = "配置";
constexpr std::string_view kKeys[] = {"路径", "后缀", "前缀", "序号"};

// A value the edit boxes can hold: one line (a line break in it would end the INI line,
// and the writer turns it into a blank).
std::string oneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The last bytes, up to a NUL, are the value to set; the key is picked by the first byte.
    std::string_view valueBytes;
    if (const auto nul = bytes.rfind('\0'); nul != std::string_view::npos) {
        valueBytes = bytes.substr(nul + 1);
        bytes = bytes.substr(0, nul);
    }
    const std::string_view key = kKeys[size > 0 ? data[0] % 4 : 0];

    const auto decoded = platform::decodeTextFile(bytes);
    if (!decoded) return 0;
    const IniDocument doc = IniDocument::parse(decoded->text);
    const std::string saved = doc.serialize();
    check(IniDocument::parse(saved).serialize() == saved);
    const auto reread = platform::decodeTextFile(platform::encodeTextFile(saved, decoded->encoding));
    check(reread && reread->text == saved);
    for (auto k : kKeys) check(IniDocument::parse(saved).value(kSection, k) == doc.value(kSection, k));

    IniDocument changed = doc;
    const std::string value = oneLine(platform::decodeGb18030Lossy(valueBytes));
    changed.setValue(kSection, key, value);
    check(changed.value(kSection, key) == value);
    const IniDocument reloaded = IniDocument::parse(changed.serialize());
    check(reloaded.value(kSection, key) == value);
    for (auto k : kKeys) {
        if (k != key) check(reloaded.value(kSection, k) == doc.value(kSection, k));
    }
    return 0;
}
