// Cookie values a hostile server may send, found by fuzzing the cookie store.

#include "http/EConvertError.h"
#include "http/IdCookieManager.h"
#include "http/IdURI.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

// A nameless cookie reads back, after a replacement, with another name and no domain; the
// store must still find it in its domain's list when it expires, or the list would keep a
// freed cookie that the next request reads.
TEST(CookieStoreHostile, ExpiredNamelessReplacementLeavesNoTraceInItsDomain) {
    TIdCookieManager manager;
    manager.TakeSetCookie("=; domain=.example.com", "www.example.com");
    manager.TakeSetCookie("=; domain=.example.com; expires=Thu, 01 Jan 1970 00:00:00 GMT",
                          "www.example.com");

    EXPECT_EQ(manager.CookieHeaderFor(TIdURI("http://www.example.com/"), false), "");
    // The emptied list goes with its last cookie.
    EXPECT_EQ(manager.CookieStore().DomainIndex().Count(), 0u);
    EXPECT_EQ(manager.CookieStore().Count(), 0u);
}

// A sibling host may set cookies for the whole site; one with a line break in it would add
// header lines to every later request there.  Any control byte in the name or the value
// keeps a cookie out, and a stored cookie of that name stays as it was.
TEST(CookieStoreHostile, ControlBytesInTheNameOrValueKeepTheCookieOut) {
    TIdCookieManager manager;
    manager.TakeSetCookie("a=1; path=/; domain=.example.com", "www.example.com");
    for (const char control : {'\r', '\n', '\0', '\x01', '\t', '\x1F', '\x7F'}) {
        const std::string bytes(1, control);
        manager.TakeSetCookie("a=2" + bytes + "X-Injected: 1; path=/; domain=.example.com",
                              "evil.example.com");
        manager.TakeSetCookie("b" + bytes + "=2; path=/; domain=.example.com", "evil.example.com");
        manager.TakeSetCookie(bytes + "c=3", "www.example.com");
    }
    EXPECT_EQ(manager.CookieStore().Count(), 1u);
    EXPECT_EQ(manager.CookieHeaderFor(TIdURI("http://www.example.com/"), false), "a=1");
}

TEST(CookieStoreHostile, BlanksAndDoubleByteTextAreNoControlBytes) {
    TIdCookieManager manager;
    manager.TakeSetCookie("a=x y; path=/", "h");
    manager.TakeSetCookie("\xB1\xB1=\xBE\xA9; path=/", "h");
    EXPECT_EQ(manager.CookieHeaderFor(TIdURI("http://h/"), false), "\xB1\xB1=\xBE\xA9; a=x y");
}

// A replacement hands its attributes over through its Set-Cookie form, which a host text
// with ";" in it can turn into a bad port list.  The error comes through, and the new
// object goes all the same.
TEST(CookieStoreHostile, AReplacementThatRaisesLeavesNoObjectBehind) {
    TIdCookieManager manager;
    const std::string host = "h; Port=\"1,x\"";
    manager.TakeSetCookie2("a=1; path=/", host);
    ASSERT_EQ(manager.CookieStore().Count(), 1u);
    EXPECT_THROW(manager.TakeSetCookie2("a=2; path=/", host), EConvertError);
    EXPECT_EQ(manager.CookieStore().Count(), 1u);
    EXPECT_EQ(manager.CookieStore().DomainIndex().ObjectAt(0)->Count(), 1u);
}

namespace {

// A cookie of about 4000 bytes named `name`, for `domain` when it starts with a dot and for
// the host that sets it otherwise.
std::string BigCookie(const std::string& name, const std::string& domain) {
    std::string cookie = name + "=" + std::string(3990, 'v') + "; path=/";
    return domain.starts_with(".") ? cookie + "; domain=" + domain : cookie;
}

// The host that sets the cookies of `domain`: one label in front of a dotted one.
std::string SettingHost(const std::string& domain) {
    return domain.starts_with(".") ? "x" + domain : domain;
}

} // namespace

// Four nested domains of fifty cookies of 4000 bytes would make one header of 800 KB: the
// header stops at 64 KiB, leaving out the cookies that would come last, which stay stored.
TEST(CookieStoreHostile, TheCookieHeaderOfOneRequestStopsAt64KiB) {
    struct TCase {
        const char* Name;
        std::vector<std::string> Domains;
        std::size_t Cookies;
    };
    const TCase cases[] = {
        {"one host", {"a.b.c.example.com"}, 50},
        {"nested domains",
         {"a.b.c.example.com", ".b.c.example.com", ".c.example.com", ".example.com"},
         200},
    };
    for (const TCase& nested : cases) {
        SCOPED_TRACE(nested.Name);
        TIdCookieManager manager;
        for (const std::string& domain : nested.Domains) {
            for (int n = 0; n < 50; ++n) {
                manager.TakeSetCookie(BigCookie(domain + std::to_string(n), domain),
                                      SettingHost(domain));
            }
        }
        ASSERT_EQ(manager.CookieStore().Count(), nested.Cookies);
        const TIdURI uri("http://a.b.c.example.com/");
        const std::string header = manager.CookieHeaderFor(uri, false);
        EXPECT_LE(header.size(), TIdCookieManager::kMaxCookieHeaderBytes);
        // Sixteen pairs of 4000 bytes and their separators fit; the seventeenth would not.
        EXPECT_EQ(std::count(header.begin(), header.end(), ';'), 15);
        EXPECT_EQ(manager.CookieStore().Count(), nested.Cookies);
        EXPECT_EQ(manager.CookieHeaderFor(uri, false), header);
    }
}

// Ten thousand hosts whose cookies all went leave no list behind, however each went.
TEST(CookieStoreHostile, ADomainListGoesWithItsLastCookie) {
    struct TCase {
        const char* Name;
        const char* Ending; // the second Set-Cookie for each host
    };
    const TCase cases[] = {
        {"expired", "a=1; path=/; expires=Thu, 01 Jan 1970 00:00:00 GMT"},
        {"max-age 0", "a=1; path=/; max-age=0"},
    };
    for (const TCase& ending : cases) {
        SCOPED_TRACE(ending.Name);
        TIdCookieManager manager;
        for (int host = 0; host < 10000; ++host) {
            const std::string name = "h" + std::to_string(host) + ".example.com";
            manager.TakeSetCookie("a=1; path=/", name);
            manager.TakeSetCookie(ending.Ending, name);
        }
        manager.TakeSetCookie("kept=1; path=/", "h1.example.com");
        EXPECT_EQ(manager.CookieHeaderFor(TIdURI("http://h1.example.com/"), false), "kept=1");
        ASSERT_EQ(manager.CookieStore().DomainIndex().Count(), 1u);
        EXPECT_EQ(manager.CookieStore().DomainIndex().KeyAt(0), "h1.example.com");
    }
    // Pushed out by the store's bound: the oldest host's list goes with its one cookie.
    TIdCookieManager manager;
    for (std::size_t host = 0; host <= TIdCookies::kMaxCookies; ++host) {
        manager.TakeSetCookie("a=1; path=/", "h" + std::to_string(host) + ".example.com");
    }
    EXPECT_EQ(manager.CookieStore().DomainIndex().Count(), TIdCookies::kMaxCookies);
    EXPECT_EQ(manager.CookieStore().DomainIndex().KeyAt(0), "h1.example.com");
}
