#include "tests/support/TestTrustStore.h"

#include <cstdlib>

TTestTrustStore::TTestTrustStore()
    : authority_(TTestCertificate::Make("", -1, 30, nullptr, true)),
      authorityFile_(folder_.File("authority.pem")) {
    authority_.WritePem(authorityFile_);
    setenv("SSL_CERT_FILE", authorityFile_.c_str(), 1);
}

TTestCertificate TTestTrustStore::Issue(const std::string& names, int fromDays,
                                        int untilDays) const {
    return TTestCertificate::Make(names, fromDays, untilDays, &authority_);
}

TTestTrustStore& SharedTestTrustStore() {
    static TTestTrustStore store;
    return store;
}
