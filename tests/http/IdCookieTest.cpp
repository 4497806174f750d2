#include "http/EConvertError.h"
#include "http/IdCookieRFC2965.h"
#include "http/IdInternetDate.h"
#include "net/IdException.h"
#include "tests/http/TimeZoneGuard.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

const std::string kFuture = "Sun, 06 Nov 2039 08:49:37 GMT";
const std::string kPast = "Thu, 01 Jan 1970 00:00:00 GMT";

std::unique_ptr<TIdCookieRFC2109> Parsed(const std::string& text) {
    auto cookie = std::make_unique<TIdCookieRFC2109>();
    cookie->ParseCookieText(text);
    return cookie;
}

class CookieTest : public testing::Test {
    TimeZoneGuard zone_{"CST-8"};
};

TEST_F(CookieTest, ReadsNameValueAndAttributes) {
    TIdCookieRFC2109 cookie;
    cookie.ParseCookieText("SID=ab=c\"d;  Path=\"/x/\" ; Domain=.example.com; SECURE; "
                           "Expires=" +
                           kFuture + "; Version=1; Comment=hi there");
    EXPECT_EQ(cookie.CookieName, "SID");
    EXPECT_EQ(cookie.Value, "ab=c\"d");
    EXPECT_EQ(cookie.Path, "/x/");
    EXPECT_EQ(cookie.Domain, ".example.com");
    EXPECT_TRUE(cookie.Secure);
    EXPECT_EQ(cookie.Expires, kFuture);
    EXPECT_EQ(cookie.MaxAge, -1); // Max-Age absent replaces what the expiry gave
    EXPECT_EQ(cookie.Version, "1");
    EXPECT_EQ(cookie.Comment, "hi there");
    EXPECT_EQ(cookie.InternalVersion, TIdCookieVersion::cvRFC2109);
}

TEST_F(CookieTest, FirstAttributeOfANameCountsInAnyCase) {
    TIdCookieRFC2109 cookie;
    cookie.ParseCookieText("a=1; path=/one; PATH=/two; secure=yes");
    EXPECT_EQ(cookie.Path, "/one");
    EXPECT_FALSE(cookie.Secure);
}

TEST_F(CookieTest, TextWithoutSemicolonIsOneUntrimmedEntry) {
    TIdCookieRFC2109 cookie;
    cookie.ParseCookieText(" a=1 ");
    EXPECT_EQ(cookie.CookieName, " a");
    EXPECT_EQ(cookie.Value, "1 ");
    cookie.ParseCookieText("novalue; path=/");
    EXPECT_EQ(cookie.CookieName, "");
    EXPECT_EQ(cookie.Value, "");
    EXPECT_EQ(cookie.Path, "/");
}

TEST_F(CookieTest, TheSameTextIsNotReadAgain) {
    TIdCookieRFC2109 cookie;
    cookie.ParseCookieText("a=1; path=/");
    cookie.Value = "changed";
    cookie.ParseCookieText("a=1; path=/");
    EXPECT_EQ(cookie.Value, "changed");
    cookie.ParseCookieText("a=2; path=/");
    EXPECT_EQ(cookie.Value, "2");
}

TEST_F(CookieTest, PathLosesOneQuoteAtEachEnd) {
    EXPECT_EQ(Parsed("a=1; path=\"")->Path, "");
    EXPECT_EQ(Parsed("a=1; path=\"/a")->Path, "/a");
    EXPECT_EQ(Parsed("a=1; path=\"\"/a/\"\"")->Path, "\"/a/\"");
}

TEST_F(CookieTest, MaxAgeGivesAnExpiryAndTheNetscapeVersion) {
    const auto cookie = Parsed("a=1; max-age=3600");
    EXPECT_EQ(cookie->InternalVersion, TIdCookieVersion::cvNetscape);
    EXPECT_NEAR(InternetDateToLocal(cookie->Expires), Now() + 3600.0 / 86400, 2.0 / 86400);
    EXPECT_GE(cookie->MaxAge, 3598);
    EXPECT_LE(cookie->MaxAge, 3600);

    for (const char* maxAge : {"soon", "0x0", "$3C", "x3C", "0X10"}) {
        const auto session = Parsed(std::string("a=1; max-age=") + maxAge);
        EXPECT_EQ(session->InternalVersion, TIdCookieVersion::cvNetscape) << maxAge;
        EXPECT_EQ(session->Expires, "") << maxAge;
        EXPECT_EQ(session->MaxAge, -1) << maxAge;
    }
}

TEST_F(CookieTest, HugeMaxAgeStillReadsAsTheFarFuture) {
    const auto cookie = Parsed("a=1; max-age=9223372036854775807");
    EXPECT_EQ(cookie->Expires.substr(cookie->Expires.find("9999")), "9999 23:59:59 +0800");
    EXPECT_GT(InternetDateToLocal(cookie->Expires), Now() + 365 * 1000);
}

TEST_F(CookieTest, ExpiryTextGivesTheMaxAgeUntilAttributesOverrideIt) {
    TIdCookieRFC2109 cookie;
    cookie.StoreExpires(FormatInternetDate(Now() + 100.0 / 86400, false));
    EXPECT_GE(cookie.MaxAge, 98);
    EXPECT_LE(cookie.MaxAge, 100);
    cookie.StoreExpires("");
    EXPECT_EQ(cookie.Expires, "");
    EXPECT_GE(cookie.MaxAge, 98);
}

TEST_F(CookieTest, FormatsTheSetCookieForm) {
    const auto netscape =
        Parsed("a=1; path=/p/; domain=h; version=1; comment=c; max-age=60; secure");
    EXPECT_EQ(netscape->FormatCookieText(), "a=1; path=/p/; expires=" + netscape->Expires +
                                                "; domain=h; secure; comment=c; version=1");

    const auto withExpires = Parsed("a=1; expires=" + kFuture);
    EXPECT_EQ(withExpires->FormatCookieText(), "a=1");

    TIdCookieRFC2109 withMaxAge;
    withMaxAge.CookieName = "a";
    withMaxAge.Value = "1";
    withMaxAge.MaxAge = 5;
    EXPECT_EQ(withMaxAge.FormatCookieText(), "a=1; max-age=5");
    EXPECT_EQ(withMaxAge.ClientPair(), "a=1");
}

TEST_F(CookieTest, EmptyValueKeepsTheNameInTheSetCookieForm) {
    const auto cookie = Parsed("a=; path=/");
    EXPECT_EQ(cookie->FormatCookieText(), "a=; path=/");
    EXPECT_EQ(Parsed(cookie->FormatCookieText())->CookieName, "a");
}

TEST_F(CookieTest, AssignmentTakesAttributesAndTheExpiryAsItStands) {
    TIdCookieRFC2109 stored;
    stored.ParseCookieText("a=1; path=/; domain=h; comment=old");
    const auto replacement = Parsed("a=2; path=/q/; domain=h; expires=" + kPast);
    ASSERT_EQ(replacement->InternalVersion, TIdCookieVersion::cvRFC2109);
    stored.Assign(*replacement);
    EXPECT_EQ(stored.Value, "2");
    EXPECT_EQ(stored.Path, "/q/");
    EXPECT_EQ(stored.Comment, "");
    EXPECT_EQ(stored.Expires, kPast);
    EXPECT_EQ(stored.MaxAge, replacement->MaxAge);
    EXPECT_EQ(stored.InternalVersion, TIdCookieVersion::cvRFC2109);
}

TEST_F(CookieTest, AssignmentIgnoresANetscapeCookie) {
    TIdCookieRFC2109 stored;
    stored.ParseCookieText("a=1; path=/");
    TIdNetscapeCookie netscape;
    netscape.ParseCookieText("b=2; path=/b/");
    stored.Assign(netscape);
    EXPECT_EQ(stored.CookieName, "a");
    EXPECT_EQ(stored.Path, "/");
}

struct HostCase {
    const char* domain;
    const char* host;
    bool accepted;
};

void PrintTo(const HostCase& row, std::ostream* out) {
    *out << row.domain << " from " << row.host;
}

class AcceptableFor : public testing::TestWithParam<HostCase> {};

TEST_P(AcceptableFor, JudgesTheDomainAgainstTheHost) {
    TIdNetscapeCookie cookie;
    cookie.Domain = GetParam().domain;
    EXPECT_EQ(cookie.AcceptableFor(GetParam().host), GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, AcceptableFor,
    testing::Values(HostCase{"search.example.com", "search.example.com", true},
                    HostCase{"Search.example.com", "search.example.com", false},
                    HostCase{".example.com", "search.example.com", true},
                    HostCase{"example.com", "search.example.com", false},
                    HostCase{".search.example.com", "search.example.com", false},
                    HostCase{".com", "example.com", true},
                    HostCase{"other.com", "search.example.com", false},
                    HostCase{"10.0.0.1", "10.0.0.1", true}, HostCase{".0.0.1", "10.0.0.1", false},
                    HostCase{"10.0.0.1", " 10. 0.0.1", false},
                    HostCase{"1.2.3.4", "h.2.3.4", false}, HostCase{"256.0.0.1", "256.0.0.1", true},
                    HostCase{".A.EXAMPLE.com", ".a.example.com", true},
                    HostCase{".example.com", ".a.example.com", false}));

TEST_F(CookieTest, Rfc2965ReadsCommentUrlDiscardAndPorts) {
    TIdCookieRFC2965 cookie;
    cookie.ParseCookieText("a=1; CommentURL=http://h/c; Discard; Port=\"80, 8080,443\"");
    EXPECT_EQ(cookie.CommentURL, "http://h/c");
    EXPECT_TRUE(cookie.Discard);
    EXPECT_EQ(cookie.PortList, (std::vector<std::int32_t>{80, 8080, 443}));
    EXPECT_EQ(cookie.InternalVersion, TIdCookieVersion::cvNetscape);

    TIdCookieRFC2965 noPort;
    noPort.ParseCookieText("a=1; Port");
    EXPECT_EQ(noPort.PortList, std::vector<std::int32_t>{80});
    TIdCookieRFC2965 unquoted;
    unquoted.ParseCookieText("a=1; Port=81");
    EXPECT_TRUE(unquoted.PortList.empty());
}

TEST_F(CookieTest, Rfc2965PortErrors) {
    for (const std::string port : {"http", "0x50", "$50", "x50", " $1F90"}) {
        TIdCookieRFC2965 cookie;
        try {
            cookie.ParseCookieText("a=1; Port=\"80," + port + "\"");
            FAIL() << "no error for the port " << port;
        } catch (const EConvertError& error) {
            EXPECT_EQ(error.what(), "'" + port + "' is not a valid integer value");
        }
    }
    TIdCookieRFC2965 ports;
    ports.SetPortAt(0, 1);
    ports.SetPortAt(1, 2);
    ports.SetPortAt(0, 3);
    EXPECT_EQ(ports.PortList, (std::vector<std::int32_t>{3, 2}));
    for (int index : {-1, 3}) {
        try {
            ports.SetPortAt(index, 4);
            FAIL() << "no error for index " << index;
        } catch (const EIdException& error) {
            EXPECT_STREQ(error.what(), "Index out of range.");
        }
    }
}

} // namespace
