#pragma once
// Which entries a list of names given to the delete command takes. Letter case is
// ignored and '\' and '/' are the same; '*' stands for any run of characters and '?' for
// one character, neither reaching across a folder separator. A name without a folder
// part is compared with every part of an entry's path, so it takes entries of that name
// in every folder; a name with a folder part is compared from the archive's root. An
// entry is also taken when one of the folders it lies in is taken, so naming a folder
// removes everything under it. "*.*" stands for "*".
#include <string>
#include <string_view>
#include <vector>

namespace rar {

class NameMatcher {
public:
    explicit NameMatcher(const std::vector<std::string>& namesUtf8);

    bool empty() const { return patterns_.empty(); }
    // `entryPath` in UTF-8, folders separated by '\' (or '/').
    bool matches(std::string_view entryPath) const;

    // One path part against one pattern part (both already folded), for tests.
    static bool wildcardMatch(std::u32string_view pattern, std::u32string_view text);
    // Unicode text in the form the comparison uses: code points, simple case folding for
    // the Latin, Greek and Cyrillic letters and the full-width Latin forms.
    static std::u32string fold(std::string_view utf8);

private:
    struct Pattern {
        bool rooted = false;
        std::vector<std::u32string> parts;
    };
    std::vector<Pattern> patterns_;
};

}  // namespace rar
