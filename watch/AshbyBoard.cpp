#include "watch/AshbyBoard.h"

#include "watch/JsonFields.h"
#include "watch/JsonPosting.h"

namespace watch {

void TAshbyBoard::ReadPostings(const std::string& companySegment, const TOffer& offer) {
    simdjson::dom::element body = FetchJson("/posting-api/job-board/" + companySegment);
    for (simdjson::dom::element job : body["jobs"].get_array()) {
        bool listed = true;
        if (job.at_key("isListed").get(listed) == simdjson::SUCCESS && !listed)
            continue;
        TJsonPosting posting;
        posting.Title = JsonText(job, "title");
        posting.Link = JsonText(job, "jobUrl");
        posting.Location = JsonText(job, "location");
        posting.PublishedAt = JsonIsoTime(job, "publishedAt");
        offer(posting);
    }
}

} // namespace watch
