#pragma once
// An INI file read and changed the way the Windows profile services treat one: section
// and key names match without regard to ASCII letter case, blanks around keys and values
// are trimmed, a value wrapped in double (or single) quotes loses them, a line whose first
// non-blank character is ';' is a comment. It works on the file's decoded text (the
// settings file decodes and encodes it in whatever encoding the file was saved in); a saved
// file ends its lines in CR LF and keeps every line it did not change as it was.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class IniDocument {
public:
    static IniDocument parse(std::string_view utf8Text);

    // The value (UTF-8) of the first key of that name in the first section of that name.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // Replaces the key's value in place, or adds the key at the end of its section, or
    // adds the section at the end of the file.
    void setValue(std::string_view section, std::string_view key, std::string_view value);

    // UTF-8 text.
    std::string serialize() const;

private:
    struct Found {
        std::optional<std::size_t> sectionLine;
        std::optional<std::size_t> keyLine;
        std::size_t sectionEnd = 0;  // one past the section's last non-blank line
    };

    Found find(std::string_view section, std::string_view key) const;
    std::vector<std::string> lines_;  // without their line ends
};
