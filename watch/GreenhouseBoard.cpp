#include "watch/GreenhouseBoard.h"

#include "watch/JsonFields.h"
#include "watch/JsonPosting.h"

namespace watch {
namespace {

class TGreenhousePosting : public IJsonPosting {
public:
    explicit TGreenhousePosting(simdjson::dom::element job) : job_(job) {}

    std::optional<std::string_view> Title() const override { return JsonText(job_, "title"); }
    std::optional<std::string_view> Link() const override { return JsonText(job_, "absolute_url"); }
    std::optional<std::string_view> Location() const override {
        return JsonInnerText(job_, "location", "name");
    }
    // Older boards have no first publication; their last update stands in for it.
    std::optional<std::int64_t> PublishedAt() const override {
        std::optional<std::int64_t> first = JsonIsoTime(job_, "first_published");
        return first ? first : JsonIsoTime(job_, "updated_at");
    }

private:
    simdjson::dom::element job_;
};

} // namespace

void TGreenhouseBoard::ReadPostings(const std::string& companySegment, const TOffer& offer) {
    simdjson::dom::element body = FetchJson("/v1/boards/" + companySegment + "/jobs");
    for (simdjson::dom::element job : body["jobs"].get_array())
        offer(TGreenhousePosting(job));
}

} // namespace watch
