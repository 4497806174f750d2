#pragma once

#include <iosfwd>

class ITickWait;
class TSeenStore;
struct TNewWatchOptions;
struct TSearchOptions;

// quorvel-cli watch --new: polls as watch does, but a find does not end it. After each
// search only the rows whose link `store` has never seen go to `out` (four lines each, as
// search prints them); each is marked reported once its lines are flushed, and the store is
// saved after every search that reported something (at least hourly otherwise). The hook,
// when there is one, then runs once per new row. After AlertAfter searches in a row with a
// failed fetch one line goes to `err` (and to the hook), and another at the next clean search.
// Returns 128 + the signal when a stop signal came, esNothingOrFailure when no pair is
// complete. Throws EUnreadableFile when a file cannot be read, EUnwritableFile when the
// finds or the store cannot be written.
int RunNewWatch(const TSearchOptions& options, const TNewWatchOptions& newOptions,
                TSeenStore& store, ITickWait& wait, std::ostream& out, std::ostream& err);
