#include "cli/NewWatchCommand.h"

#include "cli/CheckedOutput.h"
#include "cli/FailureAlert.h"
#include "cli/HookFailure.h"
#include "cli/HookRunner.h"
#include "cli/NewWatchOptions.h"
#include "cli/PanelFiles.h"
#include "cli/PollingWatch.h"
#include "cli/SearchCommand.h"
#include "cli/SeenStore.h"
#include "cli/TerminalText.h"
#include "cli/UnwritableOutput.h"
#include "watch/GbkText.h"

#include <memory>
#include <ostream>
#include <set>

namespace {

// The last-found times are refreshed on the disk at least this often.
constexpr std::time_t RefreshSeconds = 3600;

// A row of the result pane: company, title, link and the separator line, as the scraper
// appends them.
struct TRow {
    std::string Company;
    std::string Title;
    std::string Link;
    std::string Separator;
};

std::vector<TRow> RowsOf(const std::vector<std::string>& lines) {
    std::vector<TRow> rows;
    for (std::size_t i = 0; i + 3 < lines.size(); i += 4)
        rows.push_back({lines[i], lines[i + 1], lines[i + 2], lines[i + 3]});
    return rows;
}

// Polls on after every find and reports each row once.
class TNewWatch : public TPollingWatch {
public:
    // Everything passed in is borrowed for the watch's life.
    TNewWatch(const TSearchOptions& options, const TNewWatchOptions& newOptions, TSeenStore& store,
              ITickWait& wait, std::ostream& out, std::ostream& err)
        : TPollingWatch(options, wait, err), store_(&store), out_(&out),
          alert_(newOptions.AlertAfter) {
        if (!newOptions.HookCommand.empty())
            hook_ = std::make_unique<THookRunner>(newOptions.HookCommand);
    }

private:
    void AfterSearch(std::time_t started) override {
        // A find ends polling in the window; this watch starts it again at once.
        if (!Panel().InTray)
            SearchRun().btnGoClick();
        PrintMessages(Panel(), Options().Raw, Err());
        std::vector<TRow> fresh = ReportNewRows(RowsOf(Panel().memoResult().Lines()));
        for (const TRow& row : fresh)
            RunHook({{"QUORVEL_EVENT", "new"},
                     {"QUORVEL_COMPANY", watch::Utf8FromGbk(row.Company)},
                     {"QUORVEL_TITLE", watch::Utf8FromGbk(row.Title)},
                     {"QUORVEL_LINK", watch::Utf8FromGbk(row.Link)}});
        Alert(alert_.AfterSearch(TakeFetchFailures() > 0, started));
    }

    // Only a stop or a failure ends this watch.
    bool FoundEnough() const override { return false; }

    // Prints the rows not reported before and remembers them; returns them. A row whose lines
    // could not all be written and flushed is not reported: the rows before it are saved as
    // reported, and the failure ends the watch.
    std::vector<TRow> ReportNewRows(const std::vector<TRow>& rows) {
        std::time_t now = std::time(nullptr);
        std::vector<TRow> fresh;
        try {
            for (const TRow& row : rows) {
                std::string link = TerminalText(row.Link, false);
                if (store_->Reported(link)) {
                    store_->MarkFound(link, now);
                    continue;
                }
                Print(row);
                store_->MarkReported(link, now);
                fresh.push_back(row);
            }
        } catch (const EUnwritableOutput&) {
            store_->Save(now);
            throw;
        }
        if (!fresh.empty() || now - store_->SavedAt() >= RefreshSeconds)
            store_->Save(now);
        return fresh;
    }

    void Print(const TRow& row) {
        for (const std::string* line : {&row.Company, &row.Title, &row.Link, &row.Separator})
            WriteOutput(*out_, TerminalText(*line, Options().Raw) + '\n');
        FlushOutput(*out_);
    }

    void Alert(const std::optional<TFailureAlert::TEvent>& event) {
        if (!event)
            return;
        Err() << "quorvel-cli: " << event->Message << std::endl;
        bool failing = event->Kind == TFailureAlert::TKind::Failing;
        RunHook({{"QUORVEL_EVENT", failing ? "failing" : "recovered"},
                 {"QUORVEL_MESSAGE", event->Message}});
    }

    // A failing hook is the user's to fix; the watch says so and goes on.
    void RunHook(const THookRunner::TVariables& variables) {
        if (!hook_)
            return;
        try {
            hook_->Run(variables);
        } catch (const EHookFailure& failure) {
            Err() << "quorvel-cli: " << failure.what() << std::endl;
        }
    }

    TSeenStore* store_;
    std::ostream* out_;
    TFailureAlert alert_;
    std::unique_ptr<THookRunner> hook_;
};

} // namespace

int RunNewWatch(const TSearchOptions& options, const TNewWatchOptions& newOptions,
                TSeenStore& store, ITickWait& wait, std::ostream& out, std::ostream& err) {
    return TNewWatch(options, newOptions, store, wait, out, err).Run();
}
