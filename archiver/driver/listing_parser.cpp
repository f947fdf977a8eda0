#include "archiver/driver/listing_parser.h"

#include "archiver/driver/archiver_output.h"

namespace {

constexpr std::string_view kTitleEnd = "方法版本";
constexpr std::string_view kEntryCommentStart = "注释: ";
constexpr std::string_view kNoEntries = "0 文件";
constexpr std::size_t kDetailsIndent = 13;

std::string_view trimmed(std::string_view line) {
    auto first = line.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    auto last = line.find_last_not_of(' ');
    return line.substr(first, last - first + 1);
}

bool isTitleLine(std::string_view line) {
    std::string_view t = trimmed(line);
    return t.size() >= kTitleEnd.size() && t.substr(t.size() - kTitleEnd.size()) == kTitleEnd;
}

bool isSeparatorLine(std::string_view line) {
    return !line.empty() && line.find_first_not_of('-') == std::string_view::npos;
}

bool isDetailsLine(std::string_view line) {
    return line.size() > kDetailsIndent && line.find_first_not_of(' ') >= kDetailsIndent;
}

}  // namespace

void ListingParser::startTable() {
    entries_.clear();
    state_ = State::ExpectingSeparator;
}

void ListingParser::acceptName(std::string_view line) {
    // The first character is the marker; the path is everything after it, blanks included.
    if (line.size() < 2 || (line[0] != ' ' && line[0] != '*')) {
        state_ = State::Malformed;
        return;
    }
    entries_.push_back(ListingEntry{line[0], std::string(line.substr(1))});
    state_ = State::ExpectingDetails;
}

void ListingParser::feedLine(std::string_view line) {
    switch (state_) {
    case State::SeekingTitles:
    case State::TableClosed:
    case State::EmptyArchive:
    case State::Malformed:
        if (isTitleLine(line)) {
            startTable();
        } else if (trimmed(line) == kNoEntries && line.front() == ' ') {
            entries_.clear();
            state_ = State::EmptyArchive;
        }
        return;
    case State::ExpectingSeparator:
        if (isSeparatorLine(line)) {
            state_ = State::ExpectingName;
        } else {
            // A line that only looked like the column titles (inside a comment).
            state_ = State::SeekingTitles;
            feedLine(line);
        }
        return;
    case State::ExpectingName:
        if (line.starts_with("-")) {
            state_ = State::TableClosed;
        } else {
            acceptName(line);
        }
        return;
    case State::ExpectingDetails:
        state_ = isDetailsLine(line) ? State::AfterEntry : State::Malformed;
        return;
    case State::AfterEntry:
        if (line.starts_with(kEntryCommentStart)) return;
        if (line.starts_with("-")) {
            state_ = State::TableClosed;
        } else {
            acceptName(line);
        }
        return;
    }
}

Listing listingFromOutput(std::string_view gb18030Listing) {
    ListingParser parser;
    for (const auto& line : archiveroutput::lines(gb18030Listing)) parser.feedLine(line);

    Listing listing;
    switch (parser.state()) {
    case ListingParser::State::TableClosed:
        listing.entries = parser.entries();
        return listing;
    case ListingParser::State::EmptyArchive:
        return listing;
    case ListingParser::State::SeekingTitles:
        listing.listed = false;
        listing.problem = archiveroutput::joinedMessages(gb18030Listing);
        if (listing.problem.empty()) listing.problem = "压缩程序没有列出压缩包的内容";
        return listing;
    case ListingParser::State::Malformed:
        listing.listed = false;
        listing.problem = "压缩程序的列表无法识别";
        return listing;
    default:
        listing.listed = false;
        listing.problem = "压缩程序的列表不完整";
        return listing;
    }
}
