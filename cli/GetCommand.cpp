#include "cli/GetCommand.h"

#include "cli/ArgumentList.h"
#include "cli/BodyFile.h"
#include "cli/CheckedOutput.h"
#include "cli/ExitStatus.h"
#include "cli/FileText.h"
#include "cli/ProxyOption.h"
#include "cli/StopSignals.h"
#include "cli/TerminalText.h"
#include "cli/UnwritableFile.h"
#include "cli/UsageError.h"
#include "fetcher/HttpPageFetcher.h"
#include "http/EConvertError.h"
#include "http/IdHTTP.h"

#include <charconv>
#include <cstdlib>
#include <cxxabi.h>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string_view>
#include <system_error>
#include <typeinfo>

namespace {

int ParseMilliseconds(const std::string& text) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0)
        throw EUsageError("--read-timeout needs a number of milliseconds, not '" + text + "'");
    return value;
}

void PrepareOutDirectory(const std::string& directory) {
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error || !std::filesystem::is_directory(directory))
        throw EUsageError("cannot use " + directory + " as output directory" +
                          (error ? ": " + error.message() : ""));
}

std::string OutPath(const TGetOptions& options, int number, const char* suffix) {
    return options.OutDirectory + "/" + std::to_string(number) + suffix;
}

// Keeps an error page beside the bodies; its URL has failed already, so a page that cannot
// be kept is only told on `err`.
void KeepErrorPage(const TGetOptions& options, int number, const std::string& bytes,
                   std::ostream& err) {
    if (options.OutDirectory.empty())
        return;
    try {
        WriteFileBytes(OutPath(options, number, ".error"), bytes);
    } catch (const EUnwritableFile& failure) {
        err << "quorvel-cli: " << failure.what() << std::endl;
    }
}

// Anything else that escapes the client, named by its C++ type (std::bad_alloc, ...).
std::string TypeName(const std::exception& failure) {
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> name(
        abi::__cxa_demangle(typeid(failure).name(), nullptr, nullptr, &status), &std::free);
    return status == 0 ? name.get() : typeid(failure).name();
}

// The line that reports URL number `number`.
std::string ReportLine(int number, std::string_view className, std::string_view message) {
    return std::to_string(number) + ' ' + std::string(className) + ' ' +
           TerminalText(message, false) + '\n';
}

// The byte count of the body of `url`. With an out directory the body goes straight from the
// connection into its file, so a large body never has to fit in memory; the file of a URL
// that fails, or that could not be written whole, is removed.
std::int64_t Fetch(THttpPageFetcher& fetcher, const std::string& url, TBodyFile* bodyFile) {
    if (bodyFile == nullptr)
        return static_cast<std::int64_t>(fetcher.Get(url).size());
    try {
        fetcher.httpFindJob().Get(url, *bodyFile);
    } catch (...) {
        bodyFile->Remove();
        throw;
    }
    bodyFile->Finish();
    if (!bodyFile->Failure().empty()) {
        bodyFile->Remove();
        throw EUnwritableFile(bodyFile->Failure());
    }
    return bodyFile->Size();
}

// Fetches URL number `number` and sets `line` to its report; true when it arrived (and was
// kept).
bool FetchOne(THttpPageFetcher& fetcher, const TGetOptions& options, int number, std::string& line,
              std::ostream& err) {
    const std::string& url = options.Urls[static_cast<size_t>(number - 1)];
    std::unique_ptr<TBodyFile> bodyFile;
    if (!options.OutDirectory.empty())
        bodyFile = std::make_unique<TBodyFile>(OutPath(options, number, ".body"));
    try {
        fetcher.SetCacheControl("no-cache");
        std::int64_t size = Fetch(fetcher, url, bodyFile.get());
        line = std::to_string(number) + " OK " + std::to_string(size) + '\n';
        return true;
    } catch (const EIdHTTPProtocolException& failure) {
        line = ReportLine(number,
                          failure.ClassName() + (' ' + std::to_string(failure.ErrorCode())),
                          failure.Message());
        KeepErrorPage(options, number, failure.ErrorBody(), err);
    } catch (const EIdException& failure) {
        line = ReportLine(number, failure.ClassName(), failure.Message());
    } catch (const EConvertError& failure) {
        line = ReportLine(number, failure.ClassName(), failure.what());
    } catch (const EUnwritableFile& failure) {
        line = ReportLine(number, "EUnwritableFile", failure.what());
    } catch (const std::exception& failure) {
        line = ReportLine(number, TypeName(failure), failure.what());
    }
    return false;
}

} // namespace

TGetOptions ParseGetOptions(const std::vector<std::string>& arguments) {
    TGetOptions options;
    TArgumentList list(arguments);
    while (list.More()) {
        const std::string& argument = list.Next();
        if (argument == "--read-timeout")
            options.ReadTimeout = ParseMilliseconds(list.ValueOf(argument));
        else if (argument == "--out")
            options.OutDirectory = list.ValueOf(argument);
        else if (argument == "--proxy")
            ProxiesOf(options.Proxy = list.ValueOf(argument));
        else if (argument.starts_with("--"))
            throw EUsageError("unknown option " + argument + " for get");
        else
            options.Urls.push_back(argument);
    }
    if (options.Urls.empty())
        throw EUsageError("get needs at least one URL");
    return options;
}

int RunGet(const TGetOptions& options, const TStopSignals& stop, std::ostream& out,
           std::ostream& err) {
    if (!options.OutDirectory.empty())
        PrepareOutDirectory(options.OutDirectory);
    THttpPageFetcher fetcher(ProxiesOf(options.Proxy));
    if (options.ReadTimeout)
        fetcher.httpFindJob().ReadTimeout = *options.ReadTimeout;
    bool allFetched = true;
    for (int number = 1; number <= static_cast<int>(options.Urls.size()); ++number) {
        std::string line;
        bool fetched = FetchOne(fetcher, options, number, line, err);
        // The URL a stop gave up is unfinished, not failed: it gets no line.
        if (!fetched && stop.Signal() != 0)
            break;
        allFetched = fetched && allFetched;
        // Lines are not flushed one by one: on a terminal each shows as it comes, into a
        // pipe or a file they go in blocks rather than one call a URL.
        WriteOutput(out, line);
        if (stop.Signal() != 0)
            break;
    }
    FlushOutput(out);
    if (stop.Signal() != 0)
        return 128 + stop.Signal();
    return allFetched ? esSuccess : esNothingOrFailure;
}
