#include "ui/core/settings_file.h"

#include <system_error>

#include "platform/file.h"
#include "platform/paths.h"
#include "platform/text_codec.h"
#include "ui/core/ini_document.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSection = "配置";
constexpr std::string_view kKeyPath = "路径";
constexpr std::string_view kKeyExtension = "后缀";
constexpr std::string_view kKeyPrefix = "前缀";
constexpr std::string_view kKeyStartNumber = "序号";

fs::path iniName() { return platform::pathFromUtf8("peizhi.ini"); }
fs::path deleteListName() { return platform::pathFromUtf8("删除.txt"); }

bool isFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

// The file's bytes, or nothing when it is missing or cannot be read.
std::string readOrEmpty(const fs::path& p) {
    if (!isFile(p)) return {};
    auto bytes = platform::readWholeFile(p);
    return bytes ? std::move(*bytes) : std::string();
}

std::string encode(std::string_view utf8) {
    auto exact = platform::utf8ToGb18030(utf8);
    return exact ? std::move(*exact) : platform::encodeGb18030Lossy(utf8);
}

}  // namespace

std::string withCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\r\n";
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

SettingsFile::SettingsFile(Places places) : places_(std::move(places)) {
    if (!places_.isWritable) places_.isWritable = platform::isDirectoryWritable;
}

SettingsFile SettingsFile::forThisProgram() {
    return SettingsFile(Places{platform::programDirectory(), &platform::userConfigDirectory, &platform::isDirectoryWritable});
}

fs::path SettingsFile::writeDirectory() const {
    if (places_.isWritable(places_.programDirectory) || !places_.userDirectory) return places_.programDirectory;
    return places_.userDirectory();
}

fs::path SettingsFile::readPath(const fs::path& fileName) const {
    fs::path inProgram = places_.programDirectory / fileName;
    fs::path dir = writeDirectory();
    if (dir == places_.programDirectory) return inProgram;
    fs::path own = dir / fileName;
    return isFile(own) || !isFile(inProgram) ? own : inProgram;
}

SettingsValues SettingsFile::load() const {
    SettingsValues values;
    IniDocument ini = IniDocument::parse(readOrEmpty(readPath(iniName())));
    values.path = ini.value(kSection, kKeyPath).value_or("");
    values.extension = ini.value(kSection, kKeyExtension).value_or("");
    values.prefix = ini.value(kSection, kKeyPrefix).value_or("");
    values.startNumber = ini.value(kSection, kKeyStartNumber).value_or("");
    values.deleteList = withCrLf(platform::decodeGb18030Lossy(readOrEmpty(readPath(deleteListName()))));
    return values;
}

platform::Status SettingsFile::saveInto(const fs::path& dir, const SettingsValues& values) const {
    // Start from the file as it is now, so that every other section, key and comment stays.
    IniDocument ini = IniDocument::parse(readOrEmpty(readPath(iniName())));
    ini.setValue(kSection, kKeyPath, values.path);
    ini.setValue(kSection, kKeyExtension, values.extension);
    ini.setValue(kSection, kKeyPrefix, values.prefix);
    ini.setValue(kSection, kKeyStartNumber, values.startNumber);

    fs::path iniPath = dir / iniName();
    fs::path listPath = dir / deleteListName();
    platform::removeStaleTemporaryFiles(iniPath);
    platform::removeStaleTemporaryFiles(listPath);
    if (auto s = platform::writeFileAtomically(iniPath, ini.serialize()); !s) return s;
    return platform::writeFileAtomically(listPath, encode(withCrLf(values.deleteList)));
}

platform::Status SettingsFile::save(const SettingsValues& values) const {
    fs::path dir = writeDirectory();
    platform::Status status = saveInto(dir, values);
    if (status || !places_.userDirectory) return status;
    fs::path fallback = places_.userDirectory();
    if (fallback == dir) return status;
    platform::Status second = saveInto(fallback, values);
    return second ? second : status;
}
