#pragma once

#include <iosfwd>
#include <string_view>

// Writes `text` to `out`; throws EUnwritableOutput when this or an earlier write to `out`
// failed (a closed descriptor, a full device, a reader that went away).
void WriteOutput(std::ostream& out, std::string_view text);

// Flushes `out`; throws EUnwritableOutput when this or an earlier write failed, so that
// afterwards what was buffered is known to be out.
void FlushOutput(std::ostream& out);

// Gives standard input, output and error that were closed before the start a descriptor
// that takes no writes, so that no file or socket the tool opens later takes their number
// and a write meant for the terminal fails instead of landing there. Ignores SIGPIPE, so
// that a reader gone away is a failed write (EPIPE) and not the end of the tool.
void PrepareStandardStreams();
