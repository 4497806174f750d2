// Cookie values a hostile server may send, found by fuzzing the cookie store.

#include "http/EConvertError.h"
#include "http/IdCookieManager.h"
#include "http/IdURI.h"

#include <gtest/gtest.h>

#include <string>

// A nameless cookie reads back, after a replacement, with another name and no domain; the
// store must still find it in its domain's list when it expires, or the list would keep a
// freed cookie that the next request reads.
TEST(CookieStoreHostile, ExpiredNamelessReplacementLeavesNoTraceInItsDomain) {
    TIdCookieManager manager;
    manager.TakeSetCookie("=; domain=.example.com", "www.example.com");
    manager.TakeSetCookie("=; domain=.example.com; expires=Thu, 01 Jan 1970 00:00:00 GMT",
                          "www.example.com");

    EXPECT_EQ(manager.CookieHeaderFor(TIdURI("http://www.example.com/"), false), "");
    const TIdCookies::TDomainIndex& index = manager.CookieStore().DomainIndex();
    ASSERT_EQ(index.Count(), 1u);
    EXPECT_EQ(index.ObjectAt(0)->Count(), 0u);
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
