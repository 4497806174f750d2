#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

class TStopSignals;

// quorvel-cli get [--read-timeout MS] [--out DIR] [--proxy HOST:PORT] URL...
struct TGetOptions {
    // Replaces the client's ReadTimeout (milliseconds, 0 = no limit) when given.
    std::optional<int> ReadTimeout;
    // Where the body of URL i goes as i.body and an error body as i.error; empty: nowhere.
    std::string OutDirectory;
    // HOST:PORT of the proxy every URL goes through; the environment's proxies when empty.
    std::string Proxy;
    std::vector<std::string> Urls;
};

// Throws EUsageError for an unknown option, a missing or malformed value, or no URL.
TGetOptions ParseGetOptions(const std::vector<std::string>& arguments);

// Fetches the URLs in order through one client, so that connection, cookies and target
// carry over, and reports one line per URL on `out`:
//   i OK n                                    n = the body's byte count (with an out
//                                             directory: once its file is whole on disk)
//   i EUnwritableFile cannot write PATH: why  the body file could not be written; removed
//   i EIdHTTPProtocolException code message   a status the client does not accept
//   i ClassName message                       any other failure
// Returns esSuccess when every URL was fetched (and kept, with an out directory). A stop
// gives up the URL in progress (no line, its body file removed) and returns 128 + the
// signal once the lines of the finished URLs are out. Throws EUnwritableOutput at the first
// write to `out` that fails.
int RunGet(const TGetOptions& options, const TStopSignals& stop, std::ostream& out,
           std::ostream& err);
