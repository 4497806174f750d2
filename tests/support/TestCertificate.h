#pragma once

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>
#include <string>

// A key and a certificate for it, made at test time.
struct TTestCertificate {
    std::shared_ptr<EVP_PKEY> Key;
    std::shared_ptr<X509> Certificate;

    // A certificate for `names` ("DNS:localhost,IP:127.0.0.1"), valid from `fromDays` to
    // `untilDays` days from now, signed by `issuer` (itself when null).  `authority` makes it a
    // certificate authority.
    static TTestCertificate Make(const std::string& names, int fromDays, int untilDays,
                                 const TTestCertificate* issuer, bool authority = false);
    // Writes the certificate as PEM, as a trust store file for SSL_CERT_FILE.
    void WritePem(const std::string& path) const;
};
