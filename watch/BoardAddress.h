#pragma once

#include <string>

namespace watch {

// Where the searches go: a kind of board and the scheme, host, optional port and base path
// it is reached at ("https://api.lever.co", "http://127.0.0.1:8080/base"), without a
// trailing slash.
struct TBoardAddress {
    enum TKind { bkClassic, bkGreenhouse, bkLever, bkAshby };

    TKind Kind = bkClassic;
    std::string Origin;

    // The board that `text` names:
    //   empty or "classic"             the classic board at `classicHost` (HOST[:PORT])
    //   HOST[:PORT]                    the classic board there
    //   greenhouse, lever, ashby       that kind at its public address
    //   KIND@URL                       that kind (one of the four) at an http or https URL
    // Throws EBoardTextException for anything else.
    static TBoardAddress Parse(const std::string& text, const std::string& classicHost);
};

} // namespace watch
