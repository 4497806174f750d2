#include "tests/support/TlsServer.h"

#include <openssl/err.h>

#include <stdexcept>

std::string TTlsServer::TPeer::ReadHead() {
    char buffer[4096];
    std::size_t end;
    while ((end = pending_.find("\r\n\r\n")) == std::string::npos) {
        const int received = SSL_read(ssl_, buffer, sizeof(buffer));
        if (received <= 0) {
            return {};
        }
        pending_.append(buffer, static_cast<std::size_t>(received));
    }
    std::string head = pending_.substr(0, end + 4);
    pending_.erase(0, end + 4);
    return head;
}

void TTlsServer::TPeer::Send(const std::string& bytes) {
    if (!bytes.empty()) {
        SSL_write(ssl_, bytes.data(), static_cast<int>(bytes.size()));
    }
}

void TTlsServer::TPeer::SendCloseNotify() {
    SSL_shutdown(ssl_);
    closeNotifySent_ = true;
}

TTlsServer::TTlsServer(const TTestCertificate& certificate, THandler handler, int onlyVersion)
    : context_(SSL_CTX_new(TLS_server_method())), handler_(std::move(handler)) {
    if (context_ == nullptr ||
        SSL_CTX_use_certificate(context_, certificate.Certificate.get()) != 1 ||
        SSL_CTX_use_PrivateKey(context_, certificate.Key.get()) != 1) {
        SSL_CTX_free(context_);
        throw std::runtime_error("cannot set up the TLS test server");
    }
    if (onlyVersion != 0) {
        // Old versions are refused at the default security level even by the server.
        SSL_CTX_set_security_level(context_, 0);
        SSL_CTX_set_cipher_list(context_, "DEFAULT@SECLEVEL=0");
        SSL_CTX_set_min_proto_version(context_, onlyVersion);
        SSL_CTX_set_max_proto_version(context_, onlyVersion);
    }
    server_ = std::make_unique<TLoopbackServer>([this](int connection) { Serve(connection); });
}

TTlsServer::~TTlsServer() {
    server_.reset();
    SSL_CTX_free(context_);
}

std::vector<std::string> TTlsServer::ServerNames() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return serverNames_;
}

void TTlsServer::Serve(int connection) {
    SSL* ssl = SSL_new(context_);
    SSL_set_fd(ssl, connection);
    if (SSL_accept(ssl) == 1) {
        ++handshakes_;
        resumed_ += SSL_session_reused(ssl);
        const char* name = SSL_get_servername(ssl, TLSEXT_NAMETYPE_host_name);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            serverNames_.emplace_back(name != nullptr ? name : "");
        }
        TPeer peer(ssl);
        handler_(peer);
    }
    ERR_clear_error();
    SSL_free(ssl);
}
