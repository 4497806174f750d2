#pragma once

#include <exception>
#include <stdexcept>
#include <sys/types.h>
#include <unistd.h>

// While alive, the process acts as the unprivileged user "nobody" when it runs as root,
// so that file permissions apply to it as to an ordinary user.
class TUnprivileged {
public:
    TUnprivileged() {
        if (::geteuid() != 0)
            return;
        if (::seteuid(Nobody) != 0)
            throw std::runtime_error("Cannot act as an unprivileged user");
        dropped_ = true;
    }
    ~TUnprivileged() {
        if (dropped_ && ::seteuid(0) != 0)
            std::terminate();
    }
    TUnprivileged(const TUnprivileged&) = delete;
    TUnprivileged& operator=(const TUnprivileged&) = delete;

private:
    static constexpr uid_t Nobody = 65534;
    bool dropped_ = false;
};
