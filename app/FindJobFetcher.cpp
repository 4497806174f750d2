#include "app/FindJobFetcher.h"

#include <stdexcept>

namespace {

// Stands in while the program is built without the fetcher library: every fetch fails,
// so every search reports the network problem instead of pretending to find nothing.
class TMissingFetcher : public watch::IPageFetcher {
public:
    void SetCacheControl(const std::string&) override {}
    std::string Get(const std::string&) override {
        throw std::runtime_error("No page fetcher is built into this program");
    }
};

} // namespace

std::unique_ptr<watch::IPageFetcher> CreateFindJobFetcher() {
    return std::make_unique<TMissingFetcher>();
}
