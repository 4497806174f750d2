#pragma once

#include <iosfwd>

class ITickWait;
struct TSearchOptions;

// quorvel-cli watch: the window's polling without the window. Loads the panel as search
// does and starts polling as the start button does, with the interval of the settings
// file's polling choice, but searches once at once as well; then searches at every tick of
// the panel's timer, driven by `wait`. Before each search a time stamp line goes to `err`;
// after it the result pane goes to `out` and the message boxes to `err`, a line each.
// Returns esSuccess after the first search that finds something (when the window would come
// back), esNothingOrFailure when no pair is complete, and 128 + the signal when a stop
// signal came; the search a stop cuts short prints nothing. Throws EUnreadableFile when a
// file cannot be read, EUnwritableOutput at the first write to `out` that fails.
int RunWatch(const TSearchOptions& options, ITickWait& wait, std::ostream& out, std::ostream& err);
