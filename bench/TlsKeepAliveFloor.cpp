// The floor for kept-alive GETs over TLS: what the program's client needs for each request
// over one reused TLS connection, and nothing else, as a bare OpenSSL loop over one socket.
//
// Usage: tls_keepalive_floor PORT PATH COUNT
//
// As keepalive_floor, over one verified TLS connection to 127.0.0.1:PORT (the trust store
// from SSL_CERT_FILE, TLS 1.2 at least): the 1 ms look for a close before every request
// but the first, a readiness wait before every read unless OpenSSL holds decrypted bytes,
// reads of up to 32 KB.  Prints "i OK n" for each body and exits 1 on any failure.

#include "bench/FloorLoop.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <cstdio>

namespace {

class TTlsTransport : public IFloorTransport {
public:
    explicit TTlsTransport(int socket) : socket_(socket) {
        SSL_CTX* context = SSL_CTX_new(TLS_client_method());
        if (context == nullptr || SSL_CTX_set_default_verify_paths(context) != 1 ||
            SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION) != 1)
            Fail("SSL_CTX_new");
        SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
        // As in the client: a record without data comes back instead of blocking.
        SSL_CTX_clear_mode(context, SSL_MODE_AUTO_RETRY);
        ssl_ = SSL_new(context);
        SSL_set_fd(ssl_, socket);
        X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_), "127.0.0.1");
        if (SSL_connect(ssl_) != 1) {
            ERR_print_errors_fp(stderr);
            Fail("SSL_connect");
        }
    }

    bool Readable(int timeoutMs) override {
        return SSL_pending(ssl_) > 0 || PollReadable(socket_, timeoutMs);
    }

    bool PeerClosed() override {
        if (!Readable(CloseLookMs))
            return false;
        char byte;
        int n = SSL_peek(ssl_, &byte, 1);
        return n <= 0 && SSL_get_error(ssl_, n) != SSL_ERROR_WANT_READ;
    }

    void SendAll(const std::string& bytes) override {
        if (SSL_write(ssl_, bytes.data(), static_cast<int>(bytes.size())) <= 0)
            Fail("SSL_write");
    }

    std::size_t Receive(char* into, std::size_t size) override {
        int n = SSL_read(ssl_, into, static_cast<int>(size));
        if (n < 0 && SSL_get_error(ssl_, n) == SSL_ERROR_WANT_READ)
            return 0; // a record without data, such as a session ticket
        if (n < 0)
            Fail("SSL_read");
        if (n == 0)
            Fail("connection closed by the server");
        return static_cast<size_t>(n);
    }

private:
    int socket_;
    SSL* ssl_ = nullptr;
};

} // namespace

int main(int argc, char* argv[]) {
    return RunFloor(argc, argv, "tls_keepalive_floor",
                    [](int socket) { return std::make_unique<TTlsTransport>(socket); });
}
