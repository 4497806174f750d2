#pragma once

#include "watch/JsonBoard.h"

namespace watch {

// A company board of ashby: GET {origin}/posting-api/job-board/{company} answers an object whose
// "jobs" array holds every posting; those not listed on the careers page are left out.
class TAshbyBoard : public TJsonBoard {
public:
    using TJsonBoard::TJsonBoard;

protected:
    void ReadPostings(const std::string& companySegment, const TOffer& offer) override;
};

} // namespace watch
