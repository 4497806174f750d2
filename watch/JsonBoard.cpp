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

bool IsUnreserved(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
           byte == '~';
}

// The company as one path segment: every byte but the unreserved ones percent-encoded, so
// that no byte of the name can add a segment, a query or a fragment.
std::string PathSegment(const std::string& utf8) {
    static const char hex[] = "0123456789ABCDEF";
    std::string segment;
    for (unsigned char byte : utf8) {
        if (IsUnreserved(byte)) {
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
    std::optional<std::pair<std::string, std::string>> Kept(const TJsonPosting& posting) {
        if (!posting.Title || !posting.Link || std::any_of(posting.Link->begin(), posting.Link->end(), [](char c) {
                return c == ' ' || IsControl(c);
            }))
            return std::nullopt;
        if (!TitleMatches(*posting.Title) || !InWindow(posting) || !InRegion(posting))
            return std::nullopt;
        std::string link = ProgramText(*posting.Link);
        if (excluded_.Contains(link))
            return std::nullopt;
        return std::make_pair(ProgramText(OneLine(*posting.Title)), std::move(link));
    }

private:
    bool TitleMatches(std::string_view title) {
        if (everyTitle_)
            return true;
        lowered_.assign(title);
        lowered_ = LowerAscii(std::move(lowered_));
        return lowered_.find(position_) != std::string::npos;
    }

    bool InWindow(const TJsonPosting& posting) const {
        return !days_ || (posting.PublishedAt &&
                          *posting.PublishedAt >= static_cast<std::int64_t>(now_) - *days_ * 86400);
    }

    bool InRegion(const TJsonPosting& posting) const {
        return !byRegion_ ||
               (posting.Location && LocationInRegion(std::string(*posting.Location), regionText_));
    }

    TExclusionSet excluded_;
    bool everyTitle_;
    std::string position_;
    std::optional<int> days_;
    std::string regionText_;
    bool byRegion_;
    std::time_t now_;
    std::string lowered_; // one buffer for every posting's title
};

} // namespace

TJsonBoard::TJsonBoard(IPageFetcher& fetcher, IWatchPanel& panel, std::string origin)
    : fetcher_(&fetcher), panel_(&panel), origin_(std::move(origin)),
      parser_(std::make_unique<simdjson::dom::parser>()) {}

TJsonBoard::~TJsonBoard() = default;

void TJsonBoard::SearchPair(const TPairSearch& pair, ILineList& resultLines,
                            const ILineList& exclusionLines) {
    TPairFilter filter(pair, exclusionLines);
    auto offer = [&](const TJsonPosting& posting) {
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
    return parser_->parse(body);
}

} // namespace watch
