#include "net/IdConnectThread.h"

#include "net/IdStack.h"

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

void TIdConnectThread::Execute() {
    try {
        // A socket closed under the connect reports one of these; the caller gave up anyway.
        TIdStack::ActiveStack()->CheckSocketResult(binding_->ConnectToPeer(AF_INET),
                                                   {WSAEBADF, WSAENOTSOCK});
    } catch (const std::exception& error) {
        errorMessage_ = error.what();
    }
    finished_.store(true);
}
