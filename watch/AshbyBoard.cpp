#include "watch/AshbyBoard.h"

#include "watch/JsonFields.h"
#include "watch/JsonPosting.h"

namespace watch {
namespace {

class TAshbyPosting : public IJsonPosting {
public:
    explicit TAshbyPosting(simdjson::dom::element job) : job_(job) {}

    std::optional<std::string_view> Title() const override { return JsonText(job_, "title"); }
    std::optional<std::string_view> Link() const override { return JsonText(job_, "jobUrl"); }
    std::optional<std::string_view> Location() const override { return JsonText(job_, "location"); }
    std::optional<std::int64_t> PublishedAt() const override {
        return JsonIsoTime(job_, "publishedAt");
    }

private:
    simdjson::dom::element job_;
};

// A posting is listed unless it says otherwise.
bool Listed(simdjson::dom::element job) {
    bool listed = true;
    return job.at_key("isListed").get(listed) != simdjson::SUCCESS || listed;
}

} // namespace

void TAshbyBoard::ReadPostings(const std::string& companySegment, const TOffer& offer) {
    simdjson::dom::element body = FetchJson("/posting-api/job-board/" + companySegment);
    for (simdjson::dom::element job : body["jobs"].get_array()) {
        if (Listed(job))
            offer(TAshbyPosting(job));
    }
}

} // namespace watch
