#include "ui/core/settings_file.h"

#include <system_error>

#include "platform/file.h"
#include "platform/paths.h"
#include "platform/text_codec_file.h"
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

// What a settings file holds now, decoded; nothing when the file is missing or unreadable
// (as good as empty), a failure when its bytes fit no encoding.
platform::Result<platform::DecodedText> readDecoded(const fs::path& p) {
    auto decoded = platform::decodeTextFile(readOrEmpty(p));
    if (!decoded) return platform::Status::failure(platform::utf8FromPath(p) + "：" + decoded.message());
    return decoded;
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

SettingsFile::Loaded SettingsFile::loadReportingProblems() const {
    Loaded loaded;
    SettingsValues& values = loaded.values;
    if (auto ini = readDecoded(readPath(iniName()))) {
        IniDocument doc = IniDocument::parse(ini->text);
        values.path = doc.value(kSection, kKeyPath).value_or("");
        values.extension = doc.value(kSection, kKeyExtension).value_or("");
        values.prefix = doc.value(kSection, kKeyPrefix).value_or("");
        values.startNumber = doc.value(kSection, kKeyStartNumber).value_or("");
    } else {
        loaded.problems.push_back("设置未载入：" + ini.message());
    }
    if (auto list = readDecoded(readPath(deleteListName()))) {
        values.deleteList = withCrLf(list->text);
    } else {
        loaded.problems.push_back("删除列表未载入：" + list.message());
    }
    return loaded;
}

platform::Status SettingsFile::saveInto(const fs::path& dir, const SettingsValues& values) const {
    fs::path iniPath = dir / iniName();
    fs::path listPath = dir / deleteListName();
    platform::removeStaleTemporaryFiles(iniPath);
    platform::removeStaleTemporaryFiles(listPath);

    // Start from the file as it is now, so that every other section, key and comment stays
    // and the file keeps its encoding. One that could not be decoded was not loaded: it is
    // replaced only when there is something to put in its place.
    auto ini = readDecoded(readPath(iniName()));
    const bool iniTyped = !(values.path.empty() && values.extension.empty() && values.prefix.empty() && values.startNumber.empty());
    if (ini || iniTyped) {
        IniDocument doc = IniDocument::parse(ini ? ini->text : std::string());
        doc.setValue(kSection, kKeyPath, values.path);
        doc.setValue(kSection, kKeyExtension, values.extension);
        doc.setValue(kSection, kKeyPrefix, values.prefix);
        doc.setValue(kSection, kKeyStartNumber, values.startNumber);
        const auto encoding = ini ? ini->encoding : platform::TextEncoding::Gb18030;
        if (auto s = platform::writeFileAtomically(iniPath, platform::encodeTextFile(doc.serialize(), encoding)); !s) return s;
    }

    auto list = readDecoded(readPath(deleteListName()));
    if (!list && values.deleteList.empty()) return platform::Status::success();
    const auto encoding = list ? list->encoding : platform::TextEncoding::Gb18030;
    return platform::writeFileAtomically(listPath, platform::encodeTextFile(withCrLf(values.deleteList), encoding));
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
