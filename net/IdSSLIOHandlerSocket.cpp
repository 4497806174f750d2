#include "net/IdSSLIOHandlerSocket.h"

#include "net/IdException.h"
#include "net/IdFormat.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace {

using TClock = std::chrono::steady_clock;

// OpenSSL's reason for the failure on top of its error queue.
std::string Reason() {
    const unsigned long code = ERR_peek_last_error();
    const char* text = code != 0 ? ERR_reason_error_string(code) : nullptr;
    ERR_clear_error();
    return text != nullptr ? text : RSTLSNoReason;
}

bool IsAddressLiteral(const std::string& host) {
    unsigned char address[16];
    return inet_pton(AF_INET, host.c_str(), address) == 1 ||
           inet_pton(AF_INET6, host.c_str(), address) == 1;
}

// What is left of timeout ms since start; -2 (no limit) stays.
int Remaining(int timeout, TClock::time_point start) {
    if (timeout == -2) {
        return -2;
    }
    const auto spent =
        std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - start).count();
    return static_cast<int>(std::max<long long>(0, timeout - spent));
}

// The TLS records go through the binding, so that every socket call keeps going through the
// socket stack, without blocking (a partial record must not outlast a read time-out) and
// without SIGPIPE on a peer that is gone.
TIdSocketHandle& BindingOf(BIO* bio) {
    return *static_cast<TIdSocketHandle*>(BIO_get_data(bio));
}

bool WouldBlock() {
    return errno == EAGAIN || errno == EWOULDBLOCK;
}

int SocketWrite(BIO* bio, const char* data, int length) {
    BIO_clear_retry_flags(bio);
    const int sent = BindingOf(bio).SendBytes(data, length, MSG_DONTWAIT);
    if (sent < 0 && WouldBlock()) {
        BIO_set_retry_write(bio);
    }
    return sent;
}

int SocketRead(BIO* bio, char* data, int length) {
    BIO_clear_retry_flags(bio);
    const int received = BindingOf(bio).ReceiveBytes(data, length, MSG_DONTWAIT);
    if (received < 0 && WouldBlock()) {
        BIO_set_retry_read(bio);
    } else if (received == 0) {
        // Tells OpenSSL that the peer's FIN came, so that a FIN without close_notify is
        // told apart from a socket error.
        BIO_set_flags(bio, BIO_FLAGS_IN_EOF);
    }
    return received;
}

long SocketControl(BIO* bio, int command, long /*number*/, void* /*pointer*/) {
    switch (command) {
    case BIO_CTRL_FLUSH:
        return 1;
    case BIO_CTRL_EOF:
        return BIO_test_flags(bio, BIO_FLAGS_IN_EOF) != 0 ? 1 : 0;
    default:
        return 0;
    }
}

} // namespace

TIdSSLIOHandlerSocket::TIdSSLIOHandlerSocket() {
    context_ = SSL_CTX_new(TLS_client_method());
    socketMethod_ = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "quorvel socket");
    if (context_ == nullptr || socketMethod_ == nullptr ||
        SSL_CTX_set_default_verify_paths(context_) != 1 ||
        SSL_CTX_set_min_proto_version(context_, TLS1_2_VERSION) != 1) {
        const std::string reason = Reason();
        SSL_CTX_free(context_);
        BIO_meth_free(socketMethod_);
        throw EIdTLSError(FormatText(RSTLSFailed, reason.c_str()));
    }
    SSL_CTX_set_verify(context_, SSL_VERIFY_PEER, nullptr);
    SSL_CTX_set_mode(context_, SSL_MODE_ENABLE_PARTIAL_WRITE);
    // Whole runs of records come in one receive rather than a header and a body each.
    SSL_CTX_set_read_ahead(context_, 1);
    // A record without application data must come back to WaitReadable, not block in a read.
    SSL_CTX_clear_mode(context_, SSL_MODE_AUTO_RETRY);
    BIO_meth_set_write(socketMethod_, SocketWrite);
    BIO_meth_set_read(socketMethod_, SocketRead);
    BIO_meth_set_ctrl(socketMethod_, SocketControl);
}

TIdSSLIOHandlerSocket::~TIdSSLIOHandlerSocket() {
    TIdSSLIOHandlerSocket::CloseHandler();
    SSL_SESSION_free(session_);
    BIO_meth_free(socketMethod_);
    SSL_CTX_free(context_);
}

void TIdSSLIOHandlerSocket::OpenHandler() {
    TIdIOHandlerSocket::OpenHandler();
    ending_ = enNone;
    failure_.clear();
    truncated_ = false;
}

void TIdSSLIOHandlerSocket::ConnectHandler(const std::string& host, int port,
                                           const std::string& boundIP, int boundPort,
                                           int boundPortMin, int boundPortMax, int timeout) {
    TIdIOHandlerSocket::ConnectHandler(host, port, boundIP, boundPort, boundPortMin, boundPortMax,
                                       timeout);
    if (!PassThrough) {
        StartTLS(host, timeout);
    }
}

void TIdSSLIOHandlerSocket::StartTLS(const std::string& host, int timeout) {
    ssl_ = SSL_new(context_);
    BIO* bio = BIO_new(socketMethod_);
    if (ssl_ == nullptr || bio == nullptr) {
        BIO_free(bio);
        RaiseHandshakeFailure();
    }
    BIO_set_data(bio, Binding());
    BIO_set_init(bio, 1);
    SSL_set_bio(ssl_, bio, bio);
    if (IsAddressLiteral(host)) {
        X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_), host.c_str());
    } else {
        SSL_set_hostflags(ssl_, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
        SSL_set1_host(ssl_, host.c_str());
        SSL_set_tlsext_host_name(ssl_, host.c_str());
    }
    peer_ = host + ':' + std::to_string(Binding()->PeerPortNumber());
    if (session_ != nullptr && sessionPeer_ == peer_) {
        SSL_set_session(ssl_, session_);
    }
    Handshake(timeout == -1 || timeout == 0 ? -2 : timeout);
}

void TIdSSLIOHandlerSocket::Handshake(int timeout) {
    const TClock::time_point start = TClock::now();
    for (;;) {
        ERR_clear_error();
        const int result = SSL_connect(ssl_);
        if (result == 1) {
            return;
        }
        const int error = SSL_get_error(ssl_, result);
        if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE) {
            RaiseHandshakeFailure();
        }
        if (!WaitForSSL(error, Remaining(timeout, start))) {
            ending_ = enFailed;
            CloseHandler();
            throw EIdReadTimeout();
        }
    }
}

void TIdSSLIOHandlerSocket::RaiseHandshakeFailure() {
    const long verdict = ssl_ != nullptr ? SSL_get_verify_result(ssl_) : X509_V_OK;
    const std::string reason = Reason();
    ending_ = enFailed;
    CloseHandler();
    if (verdict != X509_V_OK) {
        throw EIdTLSCertificateError(
            FormatText(RSTLSCertificateFailed, X509_verify_cert_error_string(verdict)));
    }
    throw EIdTLSHandshakeError(FormatText(RSTLSHandshakeFailed, reason.c_str()));
}

bool TIdSSLIOHandlerSocket::WaitForSSL(int error, int timeout) {
    if (error == SSL_ERROR_WANT_READ) {
        return Binding()->SelectReadable(timeout);
    }
    pollfd writable{Binding()->SocketValue(), POLLOUT, 0};
    int result;
    do {
        result = ::poll(&writable, 1, timeout == -2 ? -1 : timeout);
    } while (result < 0 && errno == EINTR);
    return result > 0;
}

void TIdSSLIOHandlerSocket::CloseHandler() {
    if (ssl_ != nullptr) {
        if (ending_ == enNone || ending_ == enClosed) {
            KeepSession();
            SSL_shutdown(ssl_);
            ERR_clear_error();
        }
        SSL_free(ssl_);
        ssl_ = nullptr;
    }
    TIdIOHandlerSocket::CloseHandler();
}

// A later connection to the same peer resumes this session instead of a full handshake.
void TIdSSLIOHandlerSocket::KeepSession() {
    SSL_SESSION* session = SSL_get1_session(ssl_);
    if (session == nullptr || SSL_SESSION_is_resumable(session) != 1) {
        SSL_SESSION_free(session);
        return;
    }
    SSL_SESSION_free(session_);
    session_ = session;
    sessionPeer_ = peer_;
}

bool TIdSSLIOHandlerSocket::WaitReadable(int timeout) {
    if (ssl_ == nullptr) {
        return TIdIOHandlerSocket::WaitReadable(timeout);
    }
    const TClock::time_point start = TClock::now();
    while (ending_ == enNone && SSL_pending(ssl_) == 0) {
        // Bytes read ahead but not yet decrypted are not in the socket any more: the peek
        // below takes them first and waits only when they hold no application data. With
        // nothing read ahead, the socket is waited on first, which spares a receive that
        // could only find it empty.
        if (SSL_has_pending(ssl_) == 0 &&
            !WaitForSSL(SSL_ERROR_WANT_READ, Remaining(timeout, start))) {
            return false;
        }
        ERR_clear_error();
        char byte;
        const int result = SSL_peek(ssl_, &byte, 1);
        if (result > 0) {
            return true;
        }
        const int wanted = NoteEnding(result);
        if (wanted != SSL_ERROR_NONE && !WaitForSSL(wanted, Remaining(timeout, start))) {
            return false;
        }
    }
    return true;
}

int TIdSSLIOHandlerSocket::NoteEnding(int result) {
    const int error = SSL_get_error(ssl_, result);
    switch (error) {
    case SSL_ERROR_WANT_READ:
    case SSL_ERROR_WANT_WRITE:
        return error;
    case SSL_ERROR_ZERO_RETURN:
        ending_ = enClosed;
        break;
    case SSL_ERROR_SYSCALL:
        ending_ = enSocketError;
        break;
    default:
        if (ERR_GET_REASON(ERR_peek_last_error()) == SSL_R_UNEXPECTED_EOF_WHILE_READING) {
            ending_ = enTruncated;
            ERR_clear_error();
        } else {
            ending_ = enFailed;
            failure_ = Reason();
        }
        break;
    }
    return SSL_ERROR_NONE;
}

int TIdSSLIOHandlerSocket::ReceiveSome(void* buffer, int length) {
    if (ssl_ == nullptr) {
        return TIdIOHandlerSocket::ReceiveSome(buffer, length);
    }
    if (!HandlerConnected()) {
        throw EIdClosedSocket();
    }
    // One record at most comes out of a read; the buffer takes every record already here.
    int received = 0;
    while (ending_ == enNone && received < length && (received == 0 || SSL_has_pending(ssl_))) {
        ERR_clear_error();
        const int result = SSL_read(ssl_, static_cast<char*>(buffer) + received, length - received);
        if (result > 0) {
            received += result;
            continue;
        }
        const int wanted = NoteEnding(result);
        if (wanted == SSL_ERROR_NONE || received > 0) {
            break;
        }
        WaitForSSL(wanted, -2);
    }
    if (received > 0) {
        return received;
    }
    // An ending met after data is told by the next receive.
    switch (ending_) {
    case enTruncated:
        truncated_ = true;
        return 0;
    case enSocketError:
        return -1;
    case enFailed:
        throw EIdTLSError(FormatText(RSTLSFailed, failure_.c_str()));
    default:
        return 0;
    }
}

int TIdSSLIOHandlerSocket::SendSome(const void* buffer, int length) {
    if (ssl_ == nullptr) {
        return TIdIOHandlerSocket::SendSome(buffer, length);
    }
    if (!HandlerConnected()) {
        throw EIdClosedSocket();
    }
    for (;;) {
        ERR_clear_error();
        const int result = SSL_write(ssl_, buffer, length);
        if (result > 0) {
            return result;
        }
        const int error = SSL_get_error(ssl_, result);
        if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) {
            WaitForSSL(error, -2);
            continue;
        }
        ending_ = enFailed;
        if (error == SSL_ERROR_SYSCALL) {
            return -1;
        }
        throw EIdTLSError(FormatText(RSTLSFailed, Reason().c_str()));
    }
}

void TIdSSLIOHandlerSocket::CheckEndOfData() {
    if (truncated_) {
        throw EIdTLSError();
    }
}
