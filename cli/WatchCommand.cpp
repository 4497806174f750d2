#include "cli/WatchCommand.h"

#include "cli/PanelFiles.h"
#include "cli/PollingWatch.h"
#include "cli/SearchCommand.h"

#include <ostream>

namespace {

// Polls until the first find, as the window does before it comes back.
class TWatch : public TPollingWatch {
public:
    // Everything passed in is borrowed for the watch's life.
    TWatch(const TSearchOptions& options, ITickWait& wait, std::ostream& out, std::ostream& err)
        : TPollingWatch(options, wait, err), out_(&out) {}

private:
    void AfterSearch(std::time_t /*started*/) override {
        PrintFinds(Panel(), Options().Raw, *out_);
        PrintMessages(Panel(), Options().Raw, Err());
    }

    bool FoundEnough() const override { return !Panel().InTray; }

    std::ostream* out_;
};

} // namespace

int RunWatch(const TSearchOptions& options, ITickWait& wait, std::ostream& out, std::ostream& err) {
    return TWatch(options, wait, out, err).Run();
}
