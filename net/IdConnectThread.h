#pragma once

#include "net/IdSocketHandle.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

// Runs one blocking connect of a socket on a thread of its own, so that the caller can
// give up on it.  The caller must not touch the socket until Finished(), or until it has
// closed the socket to end the connect.
class TIdConnectThread {
public:
    // binding is not owned and must outlive the thread.
    explicit TIdConnectThread(TIdSocketHandle* binding);
    ~TIdConnectThread();
    TIdConnectThread(const TIdConnectThread&) = delete;
    TIdConnectThread& operator=(const TIdConnectThread&) = delete;

    void Start();
    bool Finished() const { return finished_.load(); }
    // Waits up to milliseconds for the thread to finish, returning as soon as it has;
    // true when it finished.
    bool WaitFinished(int milliseconds);
    void WaitFor();
    // The message of the exception the connect raised, read after the thread finished.
    const std::optional<std::string>& ErrorMessage() const { return errorMessage_; }

private:
    void Execute();

    TIdSocketHandle* binding_;
    std::thread thread_;
    std::atomic<bool> finished_{false};
    std::mutex finishedMutex_;
    std::condition_variable finishedChanged_;
    std::optional<std::string> errorMessage_;
};
