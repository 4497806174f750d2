#pragma once

#include <grp.h>
#include <stdexcept>
#include <unistd.h>

// Turns a process that runs as root into the unprivileged user "nobody" for the rest of its
// life.  The web engine runs its sandbox only for a process that cannot become root again,
// so the groups of tests that load pages do this before anything else.
inline void BecomeUnprivileged() {
    constexpr uid_t Nobody = 65534;
    constexpr gid_t NoGroup = 65534;
    if (::geteuid() != 0)
        return;
    if (::setgroups(0, nullptr) != 0 || ::setresgid(NoGroup, NoGroup, NoGroup) != 0 ||
        ::setresuid(Nobody, Nobody, Nobody) != 0)
        throw std::runtime_error("Cannot become an unprivileged user");
}
