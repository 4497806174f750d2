#include "net/IdConnectThread.h"

#include "net/IdStack.h"

#include <algorithm>
#include <chrono>
#include <exception>

TIdConnectThread::TIdConnectThread(TIdSocketHandle* binding) : binding_(binding) {}

TIdConnectThread::~TIdConnectThread() {
    WaitFor();
}

void TIdConnectThread::Start() {
    thread_ = std::thread(&TIdConnectThread::Execute, this);
}

void TIdConnectThread::WaitFor() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool TIdConnectThread::WaitFinished(int milliseconds) {
    std::unique_lock lock(finishedMutex_);
    return finishedChanged_.wait_for(lock, std::chrono::milliseconds(std::max(milliseconds, 0)),
                                     [this] { return finished_.load(); });
}

void TIdConnectThread::Execute() {
    try {
        // A socket closed under the connect reports one of these; the caller gave up anyway.
        TIdStack::ActiveStack()->CheckSocketResult(binding_->ConnectToPeer(AF_INET),
                                                   {WSAEBADF, WSAENOTSOCK});
    } catch (const std::exception& error) {
        errorMessage_ = error.what();
    }
    {
        std::lock_guard lock(finishedMutex_);
        finished_.store(true);
    }
    finishedChanged_.notify_all();
}
