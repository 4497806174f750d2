#include "http/IdCookieManager.h"
#include "http/EConvertError.h"
#include "http/IdCookieRFC2965.h"
#include "http/IdURI.h"
#include "tests/http/TimeZoneGuard.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

const std::string kPast = "Thu, 01 Jan 1970 00:00:00 GMT";
const std::string kFuture = "Sun, 06 Nov 2039 08:49:37 GMT";

class CookieManagerTest : public testing::Test {
protected:
    std::string HeaderFor(const std::string& url, bool secure = false) {
        return manager.CookieHeaderFor(TIdURI(url), secure);
    }

    // The names stored for a domain, in the order of its list.
    std::string NamesOf(std::string_view domain) {
        const TIdCookies::TDomainIndex& index = manager.CookieStore().DomainIndex();
        const std::size_t found = index.IndexOf(domain);
        std::string names;
        for (std::size_t position = 0;
             found != index.npos && position < index.ObjectAt(found)->Count(); ++position) {
            names += index.ObjectAt(found)->KeyAt(position) + " ";
        }
        return names;
    }

    TimeZoneGuard zone{"CST-8"};
    TIdCookieManager manager;
};

TEST_F(CookieManagerTest, FirstRequestHasNoCookies) {
    EXPECT_EQ(HeaderFor("http://search.example.com/"), "");
}

TEST_F(CookieManagerTest, HostOnlyCookieGoesToTheHostAndItsSubdomainsOnly) {
    manager.TakeSetCookie("sid=1; path=/", "search.example.com");
    EXPECT_EQ(NamesOf("search.example.com"), "sid ");
    EXPECT_EQ(HeaderFor("http://search.example.com/jobsearch/x.php?q=1"), "sid=1");
    EXPECT_EQ(HeaderFor("http://SEARCH.Example.COM/"), "sid=1");
    EXPECT_EQ(HeaderFor("http://www.search.example.com/"), "sid=1");
    EXPECT_EQ(HeaderFor("http://search.example.com.attacker.net/"), "");
    EXPECT_EQ(HeaderFor("http://evilsearch.example.com/"), "");
    EXPECT_EQ(HeaderFor("http://example.com/"), "");
}

TEST_F(CookieManagerTest, LeadingDotDomainIsAcceptedAndDotlessRefused) {
    manager.TakeSetCookie("wide=1; path=/; domain=.example.com", "search.example.com");
    manager.TakeSetCookie("narrow=1; path=/; domain=example.com", "search.example.com");
    EXPECT_EQ(manager.CookieStore().Count(), 1u);
    EXPECT_EQ(HeaderFor("http://www.example.com/"), "wide=1");
    EXPECT_EQ(HeaderFor("http://search.example.com/"), "wide=1");
    EXPECT_EQ(HeaderFor("http://example.com/"), "");
    EXPECT_EQ(HeaderFor("http://notexample.com/"), "");
}

TEST_F(CookieManagerTest, CookieWithoutPathIsStoredButNeverSent) {
    manager.TakeSetCookie("nopath=1", "h.example.com");
    EXPECT_EQ(NamesOf("h.example.com"), "nopath ");
    EXPECT_EQ(HeaderFor("http://h.example.com/"), "");
}

TEST_F(CookieManagerTest, PathIsACaseSensitivePrefixOfTheDirectory) {
    manager.TakeSetCookie("a=1; path=/job", "h");
    manager.TakeSetCookie("b=1; path=/Job", "h");
    manager.TakeSetCookie("c=1; path=/job/page.php", "h");
    EXPECT_EQ(HeaderFor("http://h/jobsearch/"), "a=1");
    EXPECT_EQ(HeaderFor("http://h/job/page.php"), "a=1");
}

TEST_F(CookieManagerTest, SecureAndEmptyCookiesAreLeftOut) {
    manager.TakeSetCookie("s=1; path=/; secure", "h");
    manager.TakeSetCookie("e=; path=/", "h");
    manager.TakeSetCookie("p=1; path=/", "h");
    EXPECT_EQ(HeaderFor("http://h/"), "p=1");
    EXPECT_EQ(HeaderFor("http://h/", true), "p=1; s=1");
}

TEST_F(CookieManagerTest, HeaderOrderFollowsPathsFromTheLongest) {
    manager.TakeSetCookie("root=1; path=/", "h");
    manager.TakeSetCookie("detail=1; path=/jobsearch/detail/", "h");
    manager.TakeSetCookie("search=1; path=/jobsearch/", "h");
    EXPECT_EQ(HeaderFor("http://h/jobsearch/detail/x.php"), "detail=1; search=1; root=1");
    EXPECT_EQ(HeaderFor("http://h/jobsearch/"), "search=1; root=1");
    EXPECT_EQ(HeaderFor("http://h/other/"), "root=1");
}

TEST_F(CookieManagerTest, HeaderOrderForOnePathIsTheReverseOfStoring) {
    manager.TakeSetCookie("a=1; path=/", "h");
    manager.TakeSetCookie("b=2; path=/", "h");
    manager.TakeSetCookie("c=3; path=/", "h");
    EXPECT_EQ(HeaderFor("http://h/"), "c=3; b=2; a=1");
}

TEST_F(CookieManagerTest, HeaderOrderAcrossDomains) {
    manager.TakeSetCookie("a=1; path=/", "www.example.com");
    manager.TakeSetCookie("b=2; path=/", "www.example.com");
    manager.TakeSetCookie("c=3; path=/; domain=.example.com", "www.example.com");
    EXPECT_EQ(HeaderFor("http://www.example.com/"), "b=2; a=1; c=3");
}

TEST_F(CookieManagerTest, ReplacementKeepsItsPlace) {
    manager.TakeSetCookie("a=1; path=/", "h");
    manager.TakeSetCookie("b=2; path=/", "h");
    const TIdCookieRFC2109* first = manager.CookieStore().DomainIndex().ObjectAt(0)->ObjectAt(0);
    manager.TakeSetCookie("A=3; path=/", "H");
    EXPECT_EQ(NamesOf("h"), "a b ");
    EXPECT_EQ(manager.CookieStore().DomainIndex().ObjectAt(0)->ObjectAt(0), first);
    EXPECT_EQ(manager.CookieStore().Count(), 2u);
    EXPECT_EQ(HeaderFor("http://h/"), "b=2; A=3");
}

TEST_F(CookieManagerTest, ExpiredReplacementIsGoneBeforeTheNextHeader) {
    manager.TakeSetCookie("a=1; path=/; expires=" + kFuture, "h");
    manager.TakeSetCookie("b=2; path=/", "h");
    manager.TakeSetCookie("a=deleted; path=/; expires=" + kPast, "h");
    EXPECT_EQ(HeaderFor("http://h/"), "b=2");
    EXPECT_EQ(manager.CookieStore().Count(), 1u);
    EXPECT_EQ(NamesOf("h"), "b ");
}

TEST_F(CookieManagerTest, MaxAgeZeroDropsTheCookieAtTheNextHeader) {
    manager.TakeSetCookie("a=1; path=/", "h");
    manager.TakeSetCookie("a=1; path=/; max-age=0", "h");
    manager.TakeSetCookie("fresh=1; path=/; Max-Age=0", "h");
    EXPECT_EQ(HeaderFor("http://h/"), "");
    EXPECT_EQ(manager.CookieStore().Count(), 0u);
    EXPECT_EQ(NamesOf("h"), "");
}

TEST_F(CookieManagerTest, HexadecimalMaxAgeIsNoMaxAge) {
    manager.TakeSetCookie("a=1; path=/; Max-Age=0x0", "h");
    manager.TakeSetCookie("b=2; path=/; max-age=$0", "h");
    EXPECT_EQ(HeaderFor("http://h/"), "b=2; a=1");
    EXPECT_EQ(manager.CookieStore().Count(), 2u);
}

TEST_F(CookieManagerTest, ReplacementWithAnEmptyValueKeepsTheName) {
    manager.TakeSetCookie("a=1; path=/", "h");
    manager.TakeSetCookie("a=; path=/", "h");
    EXPECT_EQ(HeaderFor("http://h/"), "");
    EXPECT_EQ(manager.CookieStore().DomainIndex().ObjectAt(0)->ObjectAt(0)->CookieName, "a");
}

TEST_F(CookieManagerTest, ExpiredCookieGoesEvenWhenReplacementChangedItsDomainText) {
    // A domain text with a trailing blank does not survive the Set-Cookie form.
    manager.TakeSetCookie("a=1; path=/", "h ");
    manager.TakeSetCookie("a=2; path=/; max-age=0", "h ");
    EXPECT_EQ(HeaderFor("http://h/"), "");
    EXPECT_EQ(manager.CookieStore().Count(), 0u);
    EXPECT_EQ(NamesOf("h "), "");
}

TEST_F(CookieManagerTest, RefusedCookieLeavesTheStoredOneAlone) {
    manager.TakeSetCookie("a=1; path=/; domain=.example.com", "www.example.com");
    manager.TakeSetCookie("a=evil; path=/; domain=.example.com", "www.other.com");
    manager.TakeSetCookie("a=evil; path=/; domain=example.com", "www.example.com");
    EXPECT_EQ(manager.CookieStore().Count(), 1u);
    EXPECT_EQ(HeaderFor("http://www.example.com/"), "a=1");
}

TEST_F(CookieManagerTest, OnNewCookieMayRefuse) {
    std::vector<std::string> offered;
    manager.OnNewCookie = [&](TIdCookieManager& sender, TIdCookieRFC2109& cookie, bool& accept) {
        EXPECT_EQ(&sender, &manager);
        offered.push_back(cookie.CookieName);
        accept = cookie.CookieName != "tracker";
    };
    manager.TakeSetCookie("tracker=1; path=/", "h");
    manager.TakeSetCookie("a=1; path=/", "h");
    EXPECT_EQ(offered, (std::vector<std::string>{"tracker", "a"}));
    EXPECT_EQ(manager.CookieStore().Count(), 1u);
    EXPECT_EQ(HeaderFor("http://h/"), "a=1");
}

TEST_F(CookieManagerTest, SetCookie2PortListAndItsErrors) {
    manager.TakeSetCookie2("a=1; path=/; Port=\"80,8080\"", "h");
    const auto* stored = dynamic_cast<const TIdCookieRFC2965*>(
        manager.CookieStore().DomainIndex().ObjectAt(0)->ObjectAt(0));
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->PortList, (std::vector<std::int32_t>{80, 8080}));

    EXPECT_THROW(manager.TakeSetCookie2("a=2; path=/; Port=\"80,x\"", "h"), EConvertError);
    EXPECT_EQ(manager.CookieStore().Count(), 1u);
    EXPECT_EQ(HeaderFor("http://h/"), "a=1");
}

std::string Numbered(const std::string& prefix, int number) {
    return prefix + std::to_string(number);
}

// The names c<first> to c<last>, each followed by a blank.
std::string NameRange(int first, int last) {
    std::string names;
    for (int number = first; number <= last; ++number) {
        names += Numbered("c", number) + " ";
    }
    return names;
}

TEST_F(CookieManagerTest, ADomainKeepsItsFiftyNewestCookies) {
    for (int number = 0; number <= 50; ++number) {
        manager.TakeSetCookie(Numbered("c", number) + "=1; path=/", "h");
    }
    EXPECT_EQ(manager.CookieStore().Count(), 50u);
    EXPECT_EQ(NamesOf("h"), NameRange(1, 50));
    const std::string header = HeaderFor("http://h/");
    EXPECT_TRUE(header.starts_with("c50=1; c49=1; ")) << header;
    EXPECT_TRUE(header.ends_with("; c1=1")) << header;

    manager.TakeSetCookie("other=1; path=/", "h2");
    EXPECT_EQ(NamesOf("h2"), "other ");
    EXPECT_EQ(NamesOf("h"), NameRange(1, 50));
}

TEST_F(CookieManagerTest, AReplacementAtTheBoundTakesNoRoom) {
    for (int number = 1; number <= 50; ++number) {
        manager.TakeSetCookie(Numbered("c", number) + "=1; path=/", "h");
    }
    manager.TakeSetCookie("C1=2; path=/", "h");
    EXPECT_EQ(manager.CookieStore().Count(), 50u);
    EXPECT_EQ(NamesOf("h"), NameRange(1, 50));
    EXPECT_TRUE(HeaderFor("http://h/").ends_with("; C1=2"));
}

TEST_F(CookieManagerTest, TheStoreKeepsItsThreeThousandNewestCookies) {
    // Round the hosts, thirty cookies each and one more: the very first goes.
    for (int number = 0; number <= 3000; ++number) {
        manager.TakeSetCookie(Numbered("c", number) + "=1; path=/", Numbered("h", number % 100));
    }
    EXPECT_EQ(manager.CookieStore().Count(), 3000u);
    std::string expected;
    for (int number = 100; number <= 3000; number += 100) {
        expected += Numbered("c", number) + " ";
    }
    EXPECT_EQ(NamesOf("h0"), expected);
    EXPECT_EQ(NamesOf("h1").substr(0, 3), "c1 ");
    EXPECT_EQ(HeaderFor("http://h0/").find("c0=1"), std::string::npos);
}

TEST_F(CookieManagerTest, ACookieOfMoreThan4096BytesIsRefused) {
    const std::string name = "big";
    manager.TakeSetCookie(name + "=" + std::string(4096 - name.size(), 'v') + "; path=/", "h");
    EXPECT_EQ(NamesOf("h"), "big ");
    manager.TakeSetCookie(name + "=" + std::string(4097 - name.size(), 'w') + "; path=/", "h");
    manager.TakeSetCookie(std::string(4097, 'n') + "=; path=/", "h");
    EXPECT_EQ(manager.CookieStore().Count(), 1u);
    EXPECT_EQ(HeaderFor("http://h/"), "big=" + std::string(4093, 'v'));
}

TEST_F(CookieManagerTest, TheOldestGoesFromTheListItWasStoredInWhateverItsDomainTextBecame) {
    // The replacement leaves the domain text "h" on a cookie listed under "h ".
    manager.TakeSetCookie("a=1; path=/", "h ");
    manager.TakeSetCookie("a=2; path=/", "h ");
    manager.TakeSetCookie("keep=1; path=/", "h");
    ASSERT_EQ(manager.CookieStore().DomainIndex().ObjectAt(0)->ObjectAt(0)->Domain, "h");
    for (int number = 1; number <= 50; ++number) {
        manager.TakeSetCookie(Numbered("c", number) + "=1; path=/", "h ");
    }
    EXPECT_EQ(NamesOf("h "), NameRange(1, 50));
    EXPECT_EQ(NamesOf("h"), "keep ");
    EXPECT_EQ(manager.CookieStore().Count(), 51u);
    EXPECT_EQ(HeaderFor("http://h/").find("a=2"), std::string::npos);
}

TEST(CookieManager, FiresCreateAndDestroyWithItsStore) {
    std::vector<std::string> events;
    TIdCookies* created = nullptr;
    {
        TIdCookieManager manager([&](TIdCookieManager&, TIdCookies& store) {
            events.push_back("create");
            created = &store;
        });
        EXPECT_EQ(created, &manager.CookieStore());
        manager.TakeSetCookie("old=1; path=/; expires=Thu, 01 Jan 1970 00:00:00 GMT", "h");
        manager.TakeSetCookie("kept=1; path=/", "h");
        manager.OnDestroy = [&](TIdCookieManager& sender, TIdCookies& store) {
            EXPECT_EQ(&store, &sender.CookieStore());
            events.push_back("destroy with " + std::to_string(store.Count()));
        };
    }
    EXPECT_EQ(events, (std::vector<std::string>{"create", "destroy with 1"}));
}

TEST(CookieManager, ThreadsStoreAndReadTogether) {
    TIdCookieManager manager;
    for (int thread = 0; thread < 4; ++thread) {
        manager.TakeSetCookie("c" + std::to_string(thread) + "=start; path=/", "h");
    }
    std::vector<std::thread> threads;
    for (int thread = 0; thread < 4; ++thread) {
        threads.emplace_back([&manager, thread] {
            for (int round = 0; round < 200; ++round) {
                manager.TakeSetCookie(
                    "c" + std::to_string(thread) + "=" + std::to_string(round) + "; path=/", "h");
                manager.CookieHeaderFor(TIdURI("http://h/"), false);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(manager.CookieStore().Count(), 4u);
    EXPECT_EQ(manager.CookieHeaderFor(TIdURI("http://h/"), false),
              "c3=199; c2=199; c1=199; c0=199");
}

} // namespace
