#include "jobs/naming_rules.h"

#include <array>
#include <unordered_set>

#include "jobs/job_texts.h"

namespace jobs {
namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string withBackslashes(std::string_view path) {
    std::string out(path);
    for (char& c : out) {
        if (c == '/') c = '\\';
    }
    return out;
}

std::size_t utf16Length(std::string_view utf8) {
    std::size_t units = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) == 0x80) continue;  // continuation byte
        units += (c >= 0xF0) ? 2 : 1;       // four-byte forms need a surrogate pair
    }
    return units;
}

constexpr std::size_t kMaxNameUnits = 255;
constexpr std::size_t kMaxPathBytes = 4095;

}  // namespace

std::string foldedAsciiCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string normalizedExtension(std::string_view typed) {
    while (!typed.empty() && isBlank(typed.front())) typed.remove_prefix(1);
    while (!typed.empty() && isBlank(typed.back())) typed.remove_suffix(1);
    if (!typed.empty() && typed.front() == '.') typed.remove_prefix(1);
    return std::string(typed);
}

std::string_view bareEntryName(std::string_view entryPath) {
    auto cut = entryPath.find_last_of("\\/");
    return cut == std::string_view::npos ? entryPath : entryPath.substr(cut + 1);
}

std::vector<bool> folderEntries(const std::vector<ListingEntry>& entries) {
    std::unordered_set<std::string> parents;
    for (const auto& e : entries) {
        std::string path = withBackslashes(e.path);
        for (std::size_t i = 0; i < path.size(); ++i) {
            if (path[i] == '\\' && i > 0) parents.insert(path.substr(0, i));
        }
    }
    std::vector<bool> folder(entries.size(), false);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& path = entries[i].path;
        folder[i] = (!path.empty() && isSeparator(path.back())) || parents.count(withBackslashes(path)) > 0;
    }
    return folder;
}

std::optional<std::size_t> findEntryWithExtension(const std::vector<ListingEntry>& entries,
                                                  std::string_view extension) {
    if (extension.empty()) return std::nullopt;
    const std::string wanted = "." + foldedAsciiCase(extension);
    const auto folder = folderEntries(entries);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (folder[i]) continue;
        std::string name = foldedAsciiCase(bareEntryName(entries[i].path));
        if (name.size() >= wanted.size() && name.compare(name.size() - wanted.size(), wanted.size(), wanted) == 0) {
            return i;
        }
    }
    return std::nullopt;
}

std::string archiveNameForEntry(std::string_view bareName, std::string_view extension) {
    const std::size_t cut = extension.size() + 1;
    std::string_view stem = bareName.size() >= cut ? bareName.substr(0, bareName.size() - cut) : std::string_view();
    return std::string(stem) + ".rar";
}

bool isStartNumber(std::string_view start) {
    if (start.empty()) return false;
    for (char c : start) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

std::optional<std::string> runningNumberText(std::string_view start, std::size_t offset) {
    if (!isStartNumber(start)) return std::nullopt;
    // Added digit by digit from the right, so a start text of any length works and its
    // leading zeros stay.
    std::string digits(start);
    std::size_t carry = offset;
    for (std::size_t i = digits.size(); i-- > 0 && carry > 0;) {
        std::size_t sum = static_cast<std::size_t>(digits[i] - '0') + carry % 10;
        carry /= 10;
        if (sum >= 10) {
            sum -= 10;
            ++carry;
        }
        digits[i] = static_cast<char>('0' + sum);
    }
    std::string head;
    while (carry > 0) {
        head.insert(head.begin(), static_cast<char>('0' + carry % 10));
        carry /= 10;
    }
    return head + digits;
}

std::optional<std::string> refusedNameReason(std::string_view name) {
    if (name.empty()) return std::string(texts::kEmptyName);
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20) return std::string(texts::kControlCharacter);
        if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) {
            return texts::forbiddenCharacter(std::string_view(&c, 1));
        }
    }
    if (name.back() == '.' || name.back() == ' ') return std::string(texts::kTrailingDotOrBlank);

    // Windows reads "nul.rar" and "CON .tar.rar" as its devices: what comes before the
    // first dot, blanks at its end dropped, is compared without regard to case.
    std::string_view base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
    static const std::array<std::string_view, 4> devices = {"con", "prn", "aux", "nul"};
    const std::string folded = foldedAsciiCase(base);
    bool reserved = false;
    for (auto d : devices) reserved = reserved || folded == d;
    if (folded.size() == 4 && (folded.rfind("com", 0) == 0 || folded.rfind("lpt", 0) == 0) && folded[3] >= '1' &&
        folded[3] <= '9') {
        reserved = true;
    }
    if (reserved) return texts::reservedName(base);

    if (name.size() > kMaxNameUnits || utf16Length(name) > kMaxNameUnits) return std::string(texts::kNameTooLong);
    return std::nullopt;
}

std::optional<std::string> refusedPathReason(std::string_view path) {
    if (path.size() > kMaxPathBytes) return std::string(texts::kPathTooLong);
    return std::nullopt;
}

}  // namespace jobs
