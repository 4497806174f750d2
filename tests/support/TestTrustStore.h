#pragma once

#include "tests/support/TempFolder.h"
#include "tests/support/TestCertificate.h"

#include <string>

// A certificate authority made for this test run, trusted through SSL_CERT_FILE (set for
// this process and the children it starts) in place of the system's trust store.
class TTestTrustStore {
public:
    TTestTrustStore();

    // A certificate the authority issued for `names`, valid from/until days from now.
    TTestCertificate Issue(const std::string& names, int fromDays = -1, int untilDays = 30) const;
    const std::string& AuthorityFile() const { return authorityFile_; }

private:
    TTempFolder folder_;
    TTestCertificate authority_;
    std::string authorityFile_;
};

// The one trust store of the test process, made on first use.
TTestTrustStore& SharedTestTrustStore();
