// Cookie values a hostile server may send, found by fuzzing the cookie store.

#include "http/IdCookieManager.h"
#include "http/IdURI.h"

#include <gtest/gtest.h>

// A nameless cookie reads back, after a replacement, with another name and no domain; the
// store must still find it in its domain's list when it expires, or the list would keep a
// freed cookie that the next request reads.
TEST(CookieStoreHostile, ExpiredNamelessReplacementLeavesNoTraceInItsDomain) {
    TIdCookieManager manager;
    manager.TakeSetCookie("=; domain=.example.com", "www.example.com");
    manager.TakeSetCookie("=; domain=.example.com; expires=Thu, 01 Jan 1970 00:00:00 GMT",
                          "www.example.com");

    EXPECT_EQ(manager.CookieHeaderFor(TIdURI("http://www.example.com/"), false), "");
    TIdCookies::TDomainIndex& index = manager.CookieStore().DomainIndex();
    ASSERT_EQ(index.Count(), 1u);
    EXPECT_EQ(index.ObjectAt(0)->Count(), 0u);
    EXPECT_EQ(manager.CookieStore().Count(), 0u);
}
