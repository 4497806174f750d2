#pragma once

#include "watch/JsonBoard.h"

namespace watch {

// A company board of lever: GET {origin}/v0/postings/{company}?mode=json&skip=N&limit=M answers
// an array of postings, page by page until a page comes back short.
class TLeverBoard : public TJsonBoard {
public:
    using TJsonBoard::TJsonBoard;

protected:
    void ReadPostings(const std::string& companySegment, const TOffer& offer) override;
};

} // namespace watch
