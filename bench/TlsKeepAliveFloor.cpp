// The floor for kept-alive GETs over TLS: what the program's client needs for each request
// over one reused TLS connection, and nothing else, as a bare OpenSSL loop over one socket.
//
// Usage: tls_keepalive_floor PORT PATH COUNT
//
// As keepalive_floor, over one verified TLS connection to 127.0.0.1:PORT (the trust store
// from SSL_CERT_FILE, TLS 1.2 at least): the 1 ms look for a close before every request
// but the first, a readiness wait before every read unless OpenSSL holds decrypted bytes,
// reads of up to 32 KB.  Prints "i OK n" for each body and exits 1 on any failure.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr int CloseLookMs = 1;
constexpr int ReadTimeoutMs = 60000;
constexpr size_t BufferSize = 32768;

[[noreturn]] void Fail(const char* what) {
    if (errno != 0)
        std::perror(what);
    else
        std::fprintf(stderr, "%s\n", what);
    std::exit(1);
}

SSL* ssl = nullptr;

bool Readable(int socket, int timeoutMs) {
    if (SSL_pending(ssl) > 0)
        return true;
    pollfd entry{socket, POLLIN, 0};
    int ready = poll(&entry, 1, timeoutMs);
    if (ready < 0)
        Fail("poll");
    return ready > 0;
}

int Connect(int port) {
    int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0)
        Fail("socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        Fail("connect");
    return socket;
}

void SendAll(int /*socket*/, const std::string& bytes) {
    if (SSL_write(ssl, bytes.data(), static_cast<int>(bytes.size())) <= 0)
        Fail("SSL_write");
}

void StartTls(int socket) {
    SSL_CTX* context = SSL_CTX_new(TLS_client_method());
    if (context == nullptr || SSL_CTX_set_default_verify_paths(context) != 1 ||
        SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION) != 1)
        Fail("SSL_CTX_new");
    SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
    // As in the client: a record without data comes back instead of blocking.
    SSL_CTX_clear_mode(context, SSL_MODE_AUTO_RETRY);
    ssl = SSL_new(context);
    SSL_set_fd(ssl, socket);
    X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl), "127.0.0.1");
    if (SSL_connect(ssl) != 1) {
        ERR_print_errors_fp(stderr);
        Fail("SSL_connect");
    }
}

// Received bytes not yet consumed: [start, end) of the buffer.
class Receiver {
public:
    explicit Receiver(int socket) : socket_(socket) {}

    // The response's body length; the head is consumed.
    size_t ReadHead() {
        size_t blank;
        while ((blank = Pending().find("\r\n\r\n")) == std::string_view::npos)
            ReceiveMore();
        size_t length = ContentLength(Pending().substr(0, blank + 2));
        start_ += blank + 4;
        return length;
    }

    // Receives the body into the buffer; its bytes are not kept.
    void ReadBody(size_t length) {
        while (end_ - start_ < length) {
            length -= end_ - start_;
            start_ = end_ = 0;
            ReceiveMore();
        }
        start_ += length;
    }

private:
    std::string_view Pending() const { return {buffer_ + start_, end_ - start_}; }

    void ReceiveMore() {
        if (start_ > 0) {
            std::memmove(buffer_, buffer_ + start_, end_ - start_);
            end_ -= start_;
            start_ = 0;
        }
        if (end_ == BufferSize)
            Fail("response head longer than the buffer");
        if (!Readable(socket_, ReadTimeoutMs))
            Fail("read timed out");
        int n = SSL_read(ssl, buffer_ + end_, static_cast<int>(BufferSize - end_));
        if (n < 0 && SSL_get_error(ssl, n) == SSL_ERROR_WANT_READ)
            return; // a record without data, such as a session ticket
        if (n < 0)
            Fail("SSL_read");
        if (n == 0)
            Fail("connection closed by the server");
        end_ += static_cast<size_t>(n);
    }

    static size_t ContentLength(std::string_view head) {
        constexpr std::string_view name = "Content-Length:";
        size_t line = 0;
        while (line < head.size()) {
            size_t next = head.find("\r\n", line);
            std::string_view text = head.substr(line, next - line);
            if (text.size() > name.size() &&
                strncasecmp(text.data(), name.data(), name.size()) == 0)
                return std::strtoul(std::string(text.substr(name.size())).c_str(), nullptr, 10);
            line = next + 2;
        }
        Fail("response without Content-Length");
    }

    int socket_;
    char buffer_[BufferSize];
    size_t start_ = 0;
    size_t end_ = 0;
};

std::string RequestHead(const std::string& target, int port) {
    return "GET " + target +
           " HTTP/1.1\r\nContent-Type: text/html\r\n"
           "Cache-control: no-cache\r\nHost: 127.0.0.1:" +
           std::to_string(port) +
           "\r\nAccept: text/html, */*\r\n"
           "User-Agent: Mozilla/3.0 (compatible; Quorvel HTTP)\r\n\r\n";
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: tls_keepalive_floor PORT PATH COUNT\n");
        return 2;
    }
    int port = std::atoi(argv[1]);
    std::string path = argv[2];
    int count = std::atoi(argv[3]);

    int socket = Connect(port);
    StartTls(socket);
    Receiver receiver(socket);
    for (int i = 0; i < count; ++i) {
        if (i > 0 && Readable(socket, CloseLookMs)) {
            char byte;
            int n = SSL_peek(ssl, &byte, 1);
            if (n <= 0 && SSL_get_error(ssl, n) != SSL_ERROR_WANT_READ)
                Fail("the server closed the kept-alive connection");
        }
        SendAll(socket, RequestHead(path + "?" + std::to_string(i), port));
        size_t length = receiver.ReadHead();
        receiver.ReadBody(length);
        std::printf("%d OK %zu\n", i + 1, length);
    }
    close(socket);
    return 0;
}
