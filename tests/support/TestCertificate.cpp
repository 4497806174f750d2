#include "tests/support/TestCertificate.h"

#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <atomic>
#include <cstdio>
#include <stdexcept>

namespace {

constexpr long kSecondsADay = 24 * 60 * 60;

void Require(bool done, const char* what) {
    if (!done) {
        throw std::runtime_error(std::string("cannot make a test certificate: ") + what);
    }
}

void AddExtension(X509* certificate, X509* issuer, int nid, const std::string& value) {
    X509V3_CTX context;
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value.c_str());
    Require(extension != nullptr && X509_add_ext(certificate, extension, -1) == 1, "extension");
    X509_EXTENSION_free(extension);
}

} // namespace

TTestCertificate TTestCertificate::Make(const std::string& names, int fromDays, int untilDays,
                                        const TTestCertificate* issuer, bool authority) {
    static std::atomic<long> serial{1};
    TTestCertificate made;
    made.Key.reset(EVP_EC_gen("P-256"), EVP_PKEY_free);
    made.Certificate.reset(X509_new(), X509_free);
    Require(made.Key && made.Certificate, "key");
    X509* certificate = made.Certificate.get();
    X509_set_version(certificate, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(certificate), serial++);
    X509_gmtime_adj(X509_getm_notBefore(certificate), fromDays * kSecondsADay);
    X509_gmtime_adj(X509_getm_notAfter(certificate), untilDays * kSecondsADay);
    X509_set_pubkey(certificate, made.Key.get());
    X509_NAME* subject = X509_get_subject_name(certificate);
    const std::string commonName =
        authority ? "Quorvel Test CA" : names.substr(names.find(':') + 1);
    X509_NAME_add_entry_by_txt(subject, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>(commonName.c_str()), -1, -1,
                               0);
    const TTestCertificate& signer = issuer != nullptr ? *issuer : made;
    X509_set_issuer_name(certificate, X509_get_subject_name(signer.Certificate.get()));
    if (authority) {
        AddExtension(certificate, signer.Certificate.get(), NID_basic_constraints,
                     "critical,CA:TRUE");
        AddExtension(certificate, signer.Certificate.get(), NID_key_usage,
                     "critical,keyCertSign,cRLSign");
    } else {
        AddExtension(certificate, signer.Certificate.get(), NID_subject_alt_name, names);
    }
    AddExtension(certificate, signer.Certificate.get(), NID_subject_key_identifier, "hash");
    Require(X509_sign(certificate, signer.Key.get(), EVP_sha256()) > 0, "signature");
    return made;
}

void TTestCertificate::WritePem(const std::string& path) const {
    FILE* file = std::fopen(path.c_str(), "w");
    Require(file != nullptr, "file");
    const bool written = PEM_write_X509(file, Certificate.get()) == 1;
    std::fclose(file);
    Require(written, "PEM");
}
