#pragma once

#include "watch/JobBoard.h"

#include <functional>
#include <memory>
#include <string>

namespace simdjson::dom {
class element;
class parser;
} // namespace simdjson::dom

namespace watch {

class IPageFetcher;
class IWatchPanel;
class IJsonPosting;

// A company job board that publishes its postings as JSON in UTF-8. The board reads the
// postings; this class keeps those of the pair (title, date window, region, exclusions) and
// appends them as the classic board does, in the board's order, titles and links in the
// program's text.
class TJsonBoard : public IJobBoard {
public:
    // `origin` is the scheme, host, optional port and base path of the board's API.
    // `fetcher` and `panel` are borrowed and must outlive the board.
    TJsonBoard(IPageFetcher& fetcher, IWatchPanel& panel, std::string origin);
    ~TJsonBoard() override;

    void SearchPair(const TPairSearch& pair, ILineList& resultLines,
                    const ILineList& exclusionLines) final;

protected:
    using TOffer = std::function<void(const IJsonPosting&)>;

    // Hands every posting of the company to `offer`. `companySegment` is the company's name
    // in UTF-8, percent-encoded so that it is one path segment. A body of another shape
    // throws simdjson's error (the typed accessors do).
    virtual void ReadPostings(const std::string& companySegment, const TOffer& offer) = 0;

    // The parsed JSON at the origin followed by `pathAndQuery`; valid until the next call.
    simdjson::dom::element FetchJson(const std::string& pathAndQuery);

private:
    IPageFetcher* fetcher_;
    IWatchPanel* panel_;
    std::string origin_;
    std::unique_ptr<simdjson::dom::parser> parser_;
};

} // namespace watch
