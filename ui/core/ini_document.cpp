#include "ui/core/ini_document.h"

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

bool isQuoted(std::string_view s) {
    return s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front();
}

std::optional<std::string_view> sectionName(std::string_view line) {
    std::string_view t = trim(line);
    if (t.empty() || t.front() != '[') return std::nullopt;
    t.remove_prefix(1);
    return trim(t.substr(0, t.find(']')));
}

struct KeyValue {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyValue> keyValue(std::string_view line) {
    std::string_view t = trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '[') return std::nullopt;
    auto eq = t.find('=');
    if (eq == std::string_view::npos) return KeyValue{t, {}};
    std::string_view value = trim(t.substr(eq + 1));
    if (isQuoted(value)) value = value.substr(1, value.size() - 2);
    return KeyValue{trim(t.substr(0, eq)), value};
}

// A value that reading would change (outer blanks trimmed, outer quotes dropped) is
// written inside double quotes, so it reads back as it was; a line break would end the line.
std::string writtenValue(std::string_view value) {
    std::string s(value);
    for (char& c : s) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    bool quote = !s.empty() && (isBlank(s.front()) || isBlank(s.back()) || isQuoted(s));
    return quote ? "\"" + s + "\"" : s;
}

}  // namespace

IniDocument IniDocument::parse(std::string_view text) {
    IniDocument doc;
    while (!text.empty()) {
        auto nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        doc.lines_.emplace_back(line);
    }
    return doc;
}

IniDocument::Found IniDocument::find(std::string_view section, std::string_view key) const {
    Found found;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const std::string& text = lines_[i];
        if (auto name = sectionName(text)) {
            if (found.sectionLine) break;  // the first section of that name is the one
            if (equalsIgnoringCase(*name, section)) {
                found.sectionLine = i;
                found.sectionEnd = i + 1;
            }
            continue;
        }
        if (!found.sectionLine) continue;
        if (!trim(text).empty()) found.sectionEnd = i + 1;
        if (found.keyLine) continue;
        if (auto kv = keyValue(text); kv && equalsIgnoringCase(kv->key, key)) found.keyLine = i;
    }
    return found;
}

std::optional<std::string> IniDocument::value(std::string_view section, std::string_view key) const {
    Found found = find(section, key);
    if (!found.keyLine) return std::nullopt;
    return std::string(keyValue(lines_[*found.keyLine])->value);
}

void IniDocument::setValue(std::string_view section, std::string_view key, std::string_view value) {
    Found found = find(section, key);
    if (found.keyLine) {
        // Keep the key as the file spells it.
        std::string spelled(keyValue(lines_[*found.keyLine])->key);
        lines_[*found.keyLine] = spelled + "=" + writtenValue(value);
        return;
    }
    std::string line = std::string(key) + "=" + writtenValue(value);
    if (found.sectionLine) {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(found.sectionEnd), std::move(line));
        return;
    }
    if (!lines_.empty() && !trim(lines_.back()).empty()) lines_.emplace_back();
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(std::move(line));
}

std::string IniDocument::serialize() const {
    std::string out;
    for (const std::string& line : lines_) {
        out += line;
        out += "\r\n";
    }
    return out;
}
