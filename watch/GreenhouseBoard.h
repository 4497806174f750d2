#pragma once

#include "watch/JsonBoard.h"

namespace watch {

// A company board of greenhouse: GET {origin}/v1/boards/{company}/jobs answers an object whose
// "jobs" array holds every posting, in one request.
class TGreenhouseBoard : public TJsonBoard {
public:
    using TJsonBoard::TJsonBoard;

protected:
    void ReadPostings(const std::string& companySegment, const TOffer& offer) override;
};

} // namespace watch
