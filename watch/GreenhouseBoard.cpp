#include "watch/GreenhouseBoard.h"

#include "watch/JsonFields.h"
#include "watch/JsonPosting.h"

namespace watch {

void TGreenhouseBoard::ReadPostings(const std::string& companySegment, const TOffer& offer) {
    simdjson::dom::element body = FetchJson("/v1/boards/" + companySegment + "/jobs");
    for (simdjson::dom::element job : body["jobs"].get_array()) {
        TJsonPosting posting;
        posting.Title = JsonText(job, "title");
        posting.Link = JsonText(job, "absolute_url");
        posting.Location = JsonInnerText(job, "location", "name");
        // Older boards have no first publication; their last update stands in for it.
        posting.PublishedAt = JsonIsoTime(job, "first_published");
        if (!posting.PublishedAt)
            posting.PublishedAt = JsonIsoTime(job, "updated_at");
        offer(posting);
    }
}

} // namespace watch
