#pragma once

#include <string>

namespace watch {

class ILineList;

// One keyword pair as the search run hands it to a board: the trimmed keywords and the
// texts of the region and date-window selectors, all program text.
struct TPairSearch {
    std::string Company;
    std::string Position;
    std::string RegionText;
    std::string DateText;
};

// A job board that can be asked for the postings of one company. It appends each posting
// that matches the pair and is not excluded as four lines: company, title, link, separator.
// A fetch that fails shows the one network message for that pair and ends that pair's search.
class IJobBoard {
public:
    virtual ~IJobBoard() = default;

    virtual void SearchPair(const TPairSearch& pair, ILineList& resultLines,
                            const ILineList& exclusionLines) = 0;
};

} // namespace watch
