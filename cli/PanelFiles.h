#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "watch/TextLineList.h"

namespace watch {
class TMemoryWatchPanel;
}

struct TSearchOptions;

// An exclusion file may hold at most this much.
constexpr std::int64_t ExclusionFileLimit = std::int64_t(256) << 20;

// The lines of an exclusion file: LF or CR LF ends a line; everything else stays as it is.
// A file that ends with a line break has no empty line after it. The lines are cut out of
// `bytes` in place, so the list costs no more than the file.
watch::TTextLineList ExclusionLines(std::string bytes);

// Fills the panel from the settings file (the program's own unless given) and the exclusion
// pane from the exclusion file. Throws EUnreadableFile when either cannot be read: missing,
// no regular file, or larger than 1 MiB (settings) or 256 MiB (exclusions).
void LoadPanel(const TSearchOptions& options, watch::TMemoryWatchPanel& panel);

// The result pane, a line each.
void PrintFinds(watch::TMemoryWatchPanel& panel, bool raw, std::ostream& out);
// The message boxes shown since the last call, a line each; they are then forgotten.
void PrintMessages(watch::TMemoryWatchPanel& panel, bool raw, std::ostream& err);
