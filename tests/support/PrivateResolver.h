#pragma once

#include "tests/support/TempFolder.h"

#include <functional>
#include <optional>
#include <string>

// Name lookup that sees the test's own configuration only, so that no test sends a query
// beyond loopback: checks run in a child process with a mount namespace of its own, where
// the test's hosts file lies over /etc/hosts, a "files only" name service configuration
// over /etc/nsswitch.conf (a name missing from the file is asked of no DNS server), and a
// resolver configuration naming only loopback over /etc/resolv.conf, and no name service
// cache.  Needs root, as CI
// has.
class TPrivateResolver {
public:
    // Runs `check` in such a child and returns what it returned ("raised: " and the message
    // for an exception), or nothing when no private mount namespace can be made.
    std::optional<std::string> Run(const std::string& hosts,
                                   const std::function<std::string()>& check);

private:
    bool Isolate() const;

    TTempFolder folder_;
};
