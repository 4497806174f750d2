#pragma once

#include "tests/support/LoopbackServer.h"
#include "tests/support/TestCertificate.h"

#include <openssl/ssl.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// A TLS server on 127.0.0.1 that takes one connection at a time: each finished handshake is
// counted and handed to the handler.  A connection whose handler did not send close_notify
// ends with a bare FIN.
class TTlsServer {
public:
    // One accepted TLS connection.
    class TPeer {
    public:
        explicit TPeer(SSL* ssl) : ssl_(ssl) {}
        // The next request head, up to and with its empty line; "" when the client closed.
        std::string ReadHead();
        void Send(const std::string& bytes);
        void SendCloseNotify();
        bool CloseNotifySent() const { return closeNotifySent_; }
        // The connection's socket, to wait on beside the TLS stream.
        int Socket() const { return SSL_get_fd(ssl_); }

    private:
        SSL* ssl_;
        std::string pending_;
        bool closeNotifySent_ = false;
    };
    using THandler = std::function<void(TPeer&)>;

    // onlyVersion, when not 0, is the one protocol version the server speaks.
    TTlsServer(const TTestCertificate& certificate, THandler handler, int onlyVersion = 0);
    ~TTlsServer();
    TTlsServer(const TTlsServer&) = delete;
    TTlsServer& operator=(const TTlsServer&) = delete;

    int Port() const { return server_->Port(); }
    int Handshakes() const { return handshakes_; }
    // Handshakes that resumed an earlier session.
    int Resumed() const { return resumed_; }
    // Connections taken, whether their handshake finished or not.
    int Accepted() const { return server_->Accepted(); }
    // The name each handshake asked for by SNI ("" when none).
    std::vector<std::string> ServerNames() const;

private:
    void Serve(int connection);

    SSL_CTX* context_;
    THandler handler_;
    std::atomic<int> handshakes_{0};
    std::atomic<int> resumed_{0};
    mutable std::mutex mutex_;
    std::vector<std::string> serverNames_;
    std::unique_ptr<TLoopbackServer> server_;
};
