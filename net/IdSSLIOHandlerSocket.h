#pragma once

#include "net/IdIOHandlerSocket.h"

#include <openssl/bio.h>
#include <openssl/ssl.h>

#include <string>

// The socket IO handler with TLS on top.  In pass-through it is the plain socket handler;
// otherwise every connection starts with a handshake whose certificate chain and host name
// are verified against the system's trust store (OpenSSL's default paths, so SSL_CERT_FILE
// and SSL_CERT_DIR choose another).  Verification cannot be turned off.
class TIdSSLIOHandlerSocket : public TIdIOHandlerSocket {
public:
    TIdSSLIOHandlerSocket();
    ~TIdSSLIOHandlerSocket() override;
    TIdSSLIOHandlerSocket(const TIdSSLIOHandlerSocket&) = delete;
    TIdSSLIOHandlerSocket& operator=(const TIdSSLIOHandlerSocket&) = delete;

    // Set before connecting: false makes the connect end with a handshake with its host.
    bool PassThrough = true;

    // Runs the handshake on the open connection, verifying the certificate for host (a
    // name, or an address literal checked against the certificate's addresses).  Waits
    // up to timeout ms for the peer (-1, 0 and -2: no limit).  A failure closes the
    // connection and raises EIdTLSHandshakeError or EIdTLSCertificateError.
    void StartTLS(const std::string& host, int timeout);
    // TLS runs on the open connection.
    bool TLSActive() const { return ssl_ != nullptr; }

    void CloseHandler() override;
    void ConnectHandler(const std::string& host, int port, const std::string& boundIP,
                        int boundPort, int boundPortMin, int boundPortMax, int timeout) override;
    void OpenHandler() override;
    // Looks at data OpenSSL already decrypted first; records without application data
    // (session tickets, key updates) are taken in and waited past.
    bool WaitReadable(int timeout) override;
    // 0 for a close, announced or not; an unannounced one is remembered for CheckEndOfData.
    int ReceiveSome(void* buffer, int length) override;
    int SendSome(const void* buffer, int length) override;
    // Raises EIdTLSError when the last close came without close_notify.
    void CheckEndOfData() override;

private:
    // How the last look at the TLS stream ended, when it did not end in data.
    enum TEnding { enNone, enClosed, enTruncated, enSocketError, enFailed };

    void Handshake(int timeout);
    [[noreturn]] void RaiseHandshakeFailure();
    // For an SSL_read or SSL_peek that gave no data: the SSL_ERROR_WANT_* code when it only
    // has to wait, else SSL_ERROR_NONE with the ending noted.
    int NoteEnding(int result);
    // Waits up to timeout ms for what the SSL_ERROR_WANT_* code asks; false on time-out.
    bool WaitForSSL(int error, int timeout);
    void KeepSession();

    SSL_CTX* context_ = nullptr;
    BIO_METHOD* socketMethod_ = nullptr;
    SSL* ssl_ = nullptr;
    SSL_SESSION* session_ = nullptr;
    std::string sessionPeer_;
    std::string peer_;
    TEnding ending_ = enNone;
    std::string failure_;
    bool truncated_ = false;
};
