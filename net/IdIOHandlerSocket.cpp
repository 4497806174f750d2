#include "net/IdIOHandlerSocket.h"

#include "net/IdAntiFreezeBase.h"
#include "net/IdConnectThread.h"
#include "net/IdException.h"
#include "net/IdStack.h"

#include <netinet/tcp.h>

#include <algorithm>

namespace {

// How long the timed connect waits between looks at its thread.
constexpr int kConnectSlice = 125;
// The limit of a connect while the anti-freeze keeps the GUI alive.
constexpr int kAntiFreezeConnectTimeout = 120000;

} // namespace

TIdIOHandlerSocket::TIdIOHandlerSocket() = default;

TIdIOHandlerSocket::~TIdIOHandlerSocket() = default;

void TIdIOHandlerSocket::CloseHandler() {
    if (binding_) {
        binding_->ReleaseHandle();
    }
}

void TIdIOHandlerSocket::ConnectHandler(const std::string& host, int port,
                                        const std::string& boundIP, int boundPort, int boundPortMin,
                                        int boundPortMax, int timeout) {
    TIdStack& stack = *TIdStack::ActiveStack();
    binding_->AllocateHandle(SOCK_STREAM, 0);
    binding_->IP = boundIP;
    binding_->Port = boundPort;
    binding_->ClientPortMin = boundPortMin;
    binding_->ClientPortMax = boundPortMax;
    binding_->BindLocal();
    if (!TIdStack::IsDottedQuad(host)) {
        ReportStatus(hsResolving, host);
    }
    binding_->SetPeerAddress(stack.ResolveHostAddress(host), port);
    if (!UseNagle) {
        const int on = 1;
        binding_->SetOption(IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
    }
    ReportStatus(hsConnecting, binding_->PeerAddress());
    if (timeout != -1 && timeout != 0) {
        TimedConnect(timeout);
    } else if (TIdAntiFreezeBase::InUse() != nullptr) {
        TimedConnect(kAntiFreezeConnectTimeout);
    } else {
        stack.CheckSocketResult(binding_->ConnectToPeer(AF_INET));
    }
}

void TIdIOHandlerSocket::TimedConnect(int timeout) {
    TIdConnectThread thread(binding_.get());
    thread.Start();
    int slice = kConnectSlice;
    if (const TIdAntiFreezeBase* antiFreeze = TIdAntiFreezeBase::InUse()) {
        slice = std::min(antiFreeze->IdleTimeOut, kConnectSlice);
    }
    const bool unlimited = timeout == -2;
    int remaining = unlimited ? slice + 1 : timeout;
    // Each wait ends early when the connect is done, so a quick connect costs no slice.
    while (remaining > slice) {
        thread.WaitFinished(slice);
        TIdAntiFreezeBase::DoProcess(true);
        remaining = unlimited ? slice + 1 : remaining - slice;
        if (thread.Finished()) {
            remaining = 0;
        }
    }
    if (!thread.WaitFinished(remaining)) {
        // Closing the socket ends the blocked connect.
        CloseHandler();
        thread.WaitFor();
        throw EIdConnectTimeout();
    }
    thread.WaitFor();
    if (thread.ErrorMessage()) {
        throw EIdConnectException(*thread.ErrorMessage());
    }
}

bool TIdIOHandlerSocket::HandlerConnected() {
    return binding_ && binding_->HasSocket();
}

void TIdIOHandlerSocket::OpenHandler() {
    if (binding_) {
        binding_->ResetBinding(true);
    } else {
        binding_ = std::make_unique<TIdSocketHandle>();
    }
}

bool TIdIOHandlerSocket::WaitReadable(int timeout) {
    if (!binding_) {
        throw EIdConnClosedGracefully();
    }
    return binding_->SelectReadable(timeout);
}

int TIdIOHandlerSocket::ReceiveSome(void* buffer, int length) {
    if (!HandlerConnected()) {
        throw EIdClosedSocket();
    }
    return binding_->ReceiveBytes(buffer, length, 0);
}

int TIdIOHandlerSocket::SendSome(const void* buffer, int length) {
    if (!HandlerConnected()) {
        throw EIdClosedSocket();
    }
    return binding_->SendBytes(buffer, length, 0);
}
