// The scraper over arbitrary pages: the input holds the pages that a fake fetcher hands out
// in order, separated by NUL bytes; the first byte picks the position keyword.

#include "FuzzInput.h"
#include "watch/MemoryWatchPanel.h"
#include "watch/PageFetcher.h"
#include "watch/ResultScraper.h"

#include <cstdlib>
#include <stdexcept>

namespace {

class SequenceFetcher : public watch::IPageFetcher {
public:
    explicit SequenceFetcher(std::vector<std::string> pages) : pages_(std::move(pages)) {}

    void SetCacheControl(const std::string&) override {}

    std::string Get(const std::string&) override {
        if (served_ == pages_.size())
            throw std::runtime_error("no more pages");
        return pages_[served_++];
    }

    std::string AbsoluteURL(const std::string& link) const override { return link; }

    std::size_t Served() const { return served_; }

private:
    std::vector<std::string> pages_;
    std::size_t served_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    std::uint8_t choice = input.TakeByte();
    SequenceFetcher fetcher(input.Pieces('\0'));
    watch::TMemoryWatchPanel panel;
    panel.memoFilter().Add("http://board/job/1.html");
    watch::TResultScraper scraper(fetcher, panel);
    scraper.CurrentCompany = "Acme";
    scraper.CurrentPosition = (choice & 1) != 0 ? "*" : "java";
    scraper.ScrapeResults("http://board/search?p=1", panel.memoResult(), panel.memoFilter());

    // Every kept row is four lines, the walk ends within its page limit, and a failed
    // fetch shows its message once.
    if (panel.memoResult().Count() % 4 != 0 ||
        fetcher.Served() > static_cast<std::size_t>(watch::TResultScraper::MaxPages) ||
        panel.Messages.size() > 1)
        std::abort();
    return 0;
}
