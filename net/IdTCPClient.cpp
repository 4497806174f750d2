#include "net/IdTCPClient.h"

#include "net/IdException.h"
#include "net/IdIOHandlerSocket.h"

void TIdTCPClient::OpenConnection(int timeout) {
    if (ioHandler_ == nullptr) {
        ownedHandler_ = std::make_unique<TIdIOHandlerSocket>();
        ioHandler_ = ownedHandler_.get();
        ioHandler_->OnStatus = OnStatus;
    } else if (ioHandler_->HandlerConnected()) {
        throw EIdAlreadyConnected();
    }
    try {
        ioHandler_->OpenHandler();
        ResetInput();
        ioHandler_->ConnectHandler(host_, port_, BoundIP, BoundPort, BoundPortMin, BoundPortMax,
                                   timeout);
        ReportStatus(hsConnected, host_);
        NotifyConnected();
    } catch (...) {
        DropSocket();
        throw;
    }
}

void TIdTCPClient::NotifyConnected() {
    if (OnConnected) {
        OnConnected(this);
    }
}
