#include "watch/LeverBoard.h"

#include "watch/JsonFields.h"
#include "watch/JsonPosting.h"

#include <cmath>

namespace watch {
namespace {

// Postings asked for per page, and the most pages one search asks for.
constexpr int PageSize = 100;
constexpr int MaxPages = 200;

class TLeverPosting : public IJsonPosting {
public:
    explicit TLeverPosting(simdjson::dom::element job) : job_(job) {}

    std::optional<std::string_view> Title() const override { return JsonText(job_, "text"); }
    std::optional<std::string_view> Link() const override { return JsonText(job_, "hostedUrl"); }
    std::optional<std::string_view> Location() const override {
        return JsonInnerText(job_, "categories", "location");
    }
    // "createdAt" in milliseconds since 1970, as whatever number type the parser gave it.
    std::optional<std::int64_t> PublishedAt() const override {
        double milliseconds = 0;
        simdjson::dom::element created;
        if (job_.at_key("createdAt").get(created) != simdjson::SUCCESS || !created.is_number() ||
            created.get(milliseconds) != simdjson::SUCCESS || !std::isfinite(milliseconds) ||
            std::fabs(milliseconds) > 1e17)
            return std::nullopt;
        return static_cast<std::int64_t>(std::floor(milliseconds / 1000));
    }

private:
    simdjson::dom::element job_;
};

} // namespace

void TLeverBoard::ReadPostings(const std::string& companySegment, const TOffer& offer) {
    for (int page = 0; page < MaxPages; ++page) {
        simdjson::dom::array jobs = FetchJson("/v0/postings/" + companySegment +
                                              "?mode=json&skip=" + std::to_string(page * PageSize) +
                                              "&limit=" + std::to_string(PageSize));
        for (simdjson::dom::element job : jobs)
            offer(TLeverPosting(job));
        if (jobs.size() < static_cast<size_t>(PageSize))
            return;
    }
}

} // namespace watch
