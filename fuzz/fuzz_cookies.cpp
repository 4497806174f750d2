// The cookie store over arbitrary Set-cookie and Set-cookie2 values: the input holds the
// request host, then one value a line; each bit of the first byte picks the header kind of
// one value. The host's list is filled to its bound first, so that the values push cookies
// out. After storing, the Cookie header is asked for two paths of that host, and the index
// is checked against the store's members.

#include "FuzzInput.h"
#include "http/EConvertError.h"
#include "http/IdCookieManager.h"
#include "http/IdURI.h"
#include "net/IdException.h"

#include <cstdlib>
#include <string>

namespace {

// Every indexed cookie is a live member (read here, so that a freed one shows), and every
// member is indexed once the values are stored.
void CheckIndex(TIdCookieManager& manager) {
    TIdCookies& store = manager.CookieStore();
    const TIdCookies::TDomainIndex& index = store.DomainIndex();
    std::size_t listed = 0;
    for (std::size_t domain = 0; domain < index.Count(); ++domain) {
        const TIdCookies::TDomainCookies& cookies = *index.ObjectAt(domain);
        if (cookies.Count() > TIdCookies::kMaxCookiesPerDomain)
            std::abort();
        for (std::size_t position = 0; position < cookies.Count(); ++position) {
            if (cookies.ObjectAt(position)->ClientPair().empty())
                std::abort();
        }
        listed += cookies.Count();
    }
    if (listed != store.Count() || listed > TIdCookies::kMaxCookies)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    std::uint8_t kinds = input.TakeByte();
    std::vector<std::string> pieces = input.Pieces('\n');
    const std::string& host = pieces[0];

    TIdCookieManager manager;
    for (std::size_t i = 0; i < TIdCookies::kMaxCookiesPerDomain; ++i)
        manager.TakeSetCookie("fill" + std::to_string(i) + "=1; path=/", host);
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        try {
            if ((kinds >> (i % 8) & 1) != 0)
                manager.TakeSetCookie2(pieces[i], host);
            else
                manager.TakeSetCookie(pieces[i], host);
        } catch (const EConvertError&) {
            // A bad port list in a Set-cookie2 value is refused by raising.
        } catch (const EIdException&) {
        }
    }
    for (const char* path : {"/", "/a/b/index.html?q=1"}) {
        TIdURI uri("http://" + host + path);
        manager.CookieHeaderFor(uri, (kinds & 1) != 0);
    }
    CheckIndex(manager);
    manager.PurgeExpired();
    CheckIndex(manager);
    return 0;
}
