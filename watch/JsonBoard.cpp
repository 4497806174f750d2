#include "watch/JsonBoard.h"

#include "watch/ExclusionSet.h"
#include "watch/GbkText.h"
#include "watch/JsonPosting.h"
#include "watch/LineList.h"
#include "watch/MarkerText.h"
#include "watch/PageFetcher.h"
#include "watch/QueryBuilder.h"
#include "watch/WatchChoices.h"
#include "watch/WatchPanel.h"

#include <simdjson.h>

#include <algorithm>
#include <ctime>
#include <optional>
#include <stdexcept>
#include <utility>

namespace watch {
namespace {

const char* const MatchEveryTitle = "*";
const std::string RowSeparator = "===== =====";

// A fetch of the board failed; the user learns only that the network failed.
class EBoardFetchFailed : public std::runtime_error {
public:
    EBoardFetchFailed() : std::runtime_error("board fetch failed") {}
};

// Letters, digits and "-_~"; a dot is encoded too, so that ".." cannot name the parent.
bool StaysAsItIs(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
           (byte >= '0' && byte <= '9') || byte == '-' || byte == '_' || byte == '~';
}

// The company as one path segment: every other byte percent-encoded, so that no byte of the
// name can add a segment, a query or a fragment.
std::string PathSegment(const std::string& utf8) {
    static const char hex[] = "0123456789ABCDEF";
    std::string segment;
    for (unsigned char byte : utf8) {
        if (StaysAsItIs(byte)) {
            segment += static_cast<char>(byte);
            continue;
        }
        segment += '%';
        segment += hex[byte >> 4];
        segment += hex[byte & 0x0F];
    }
    return segment;
}

bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == '\x7F';
}

// A title keeps its place as one line of the pane: a control character becomes a blank.
std::string OneLine(std::string_view utf8) {
    std::string line(utf8);
    std::replace_if(line.begin(), line.end(), IsControl, ' ');
    return line;
}

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string ProgramText(std::string_view utf8) {
    return IsAscii(utf8) ? std::string(utf8) : GbkFromUtf8(utf8);
}

// How many days back the date window reaches; nothing for a text that is no window.
std::optional<int> WindowDays(const std::string& dateText) {
    std::string code = DateCode(dateText);
    if (code.empty())
        return std::nullopt;
    return std::stoi(code);
}

// What one pair keeps, worked out once for all of its postings.
class TPairFilter {
public:
    TPairFilter(const TPairSearch& pair, const ILineList& exclusionLines)
        : excluded_(exclusionLines), everyTitle_(pair.Position == MatchEveryTitle),
          position_(LowerAscii(Utf8FromGbk(pair.Position))), days_(WindowDays(pair.DateText)),
          regionText_(pair.RegionText), byRegion_(!RegionCode(pair.RegionText).empty()),
          now_(std::time(nullptr)) {}

    // The title and link of a kept posting, in the program's text.
    std::optional<std::pair<std::string, std::string>> Kept(const IJsonPosting& posting) {
        std::optional<std::string_view> title = posting.Title();
        if (!title || !TitleMatches(*title))
            return std::nullopt;
        std::optional<std::string_view> link = posting.Link();
        if (!link || !IsOneWord(*link) || !InWindow(posting) || !InRegion(posting))
            return std::nullopt;
        std::string programLink = ProgramText(*link);
        if (excluded_.Contains(programLink))
            return std::nullopt;
        return std::make_pair(ProgramText(OneLine(*title)), std::move(programLink));
    }

private:
    // LowerAscii(position) within LowerAscii(title), compared in place without a lowered copy
    // of every title.
    bool TitleMatches(std::string_view title) const {
        if (everyTitle_)
            return true;
        auto sameLowered = [](char titleByte, char positionByte) {
            return (titleByte >= 'A' && titleByte <= 'Z' ? titleByte + ('a' - 'A') : titleByte) ==
                   positionByte;
        };
        return std::search(title.begin(), title.end(), position_.begin(), position_.end(),
                           sameLowered) != title.end();
    }

    // A link with a blank or a control character is no address to follow.
    static bool IsOneWord(std::string_view link) {
        return std::none_of(link.begin(), link.end(),
                            [](char c) { return c == ' ' || IsControl(c); });
    }

    bool InWindow(const IJsonPosting& posting) const {
        if (!days_)
            return true;
        std::optional<std::int64_t> published = posting.PublishedAt();
        return published && *published >= static_cast<std::int64_t>(now_) - *days_ * 86400;
    }

    bool InRegion(const IJsonPosting& posting) const {
        if (!byRegion_)
            return true;
        std::optional<std::string_view> location = posting.Location();
        return location && LocationInRegion(std::string(*location), regionText_);
    }

    TExclusionSet excluded_;
    bool everyTitle_;
    std::string position_;
    std::optional<int> days_;
    std::string regionText_;
    bool byRegion_;
    std::time_t now_;
};

} // namespace

TJsonBoard::TJsonBoard(IPageFetcher& fetcher, IWatchPanel& panel, std::string origin)
    : fetcher_(&fetcher), panel_(&panel), origin_(std::move(origin)),
      parser_(std::make_unique<simdjson::dom::parser>()) {}

TJsonBoard::~TJsonBoard() = default;

void TJsonBoard::SearchPair(const TPairSearch& pair, ILineList& resultLines,
                            const ILineList& exclusionLines) {
    TPairFilter filter(pair, exclusionLines);
    auto offer = [&](const IJsonPosting& posting) {
        std::optional<std::pair<std::string, std::string>> kept = filter.Kept(posting);
        if (!kept)
            return;
        resultLines.Add(pair.Company);
        resultLines.Add(kept->first);
        resultLines.Add(kept->second);
        resultLines.Add(RowSeparator);
    };
    try {
        ReadPostings(PathSegment(Utf8FromGbk(pair.Company)), offer);
        return;
    } catch (const EBoardFetchFailed&) {
    } catch (const simdjson::simdjson_error&) {
        // Not JSON, or JSON of another shape: to the user the board did not answer.
    }
    panel_->ShowMessage(Gbk("出现网络问题！请检查您的网络连接情况。"));
}

simdjson::dom::element TJsonBoard::FetchJson(const std::string& pathAndQuery) {
    std::string body;
    try {
        fetcher_->SetCacheControl("no-cache");
        body = fetcher_->Get(origin_ + pathAndQuery);
    } catch (...) {
        // The cause is not shown, as on the classic board.
        throw EBoardFetchFailed();
    }
    // The parser reads a little past the end; room for that there saves it a copy of the body
    // whenever the string has room to spare.
    body.reserve(body.size() + simdjson::SIMDJSON_PADDING);
    return parser_->parse(body);
}

} // namespace watch
