#pragma once

#include "http/IdCookieManagerClient.h"
#include "http/IdCookieRFC2109.h"
#include "http/IdCookies.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class TIdURI;
class TIdCookieManager;

using TOnManagerEvent =
    std::function<void(TIdCookieManager& ASender, TIdCookies& ACookieCollection)>;
using TOnNewCookieEvent =
    std::function<void(TIdCookieManager& ASender, TIdCookieRFC2109& ACookie, bool& VAccept)>;

// The HTTP client's memory of the cookies that servers set: takes "Set-cookie" and
// "Set-cookie2" values and gives the Cookie header for a request.  In memory only.
class TIdCookieManager {
public:
    // onCreate, when given, becomes OnCreate and fires at the end of construction.
    explicit TIdCookieManager(TOnManagerEvent onCreate = nullptr);
    // Drops expired cookies, fires OnDestroy, tells the registered clients, then frees the
    // store.
    ~TIdCookieManager();
    TIdCookieManager(const TIdCookieManager&) = delete;
    TIdCookieManager& operator=(const TIdCookieManager&) = delete;

    // One header value each, with the host of the URI that was requested.  A Set-cookie2
    // value with a bad port list raises EConvertError or EIdException.
    void TakeSetCookie(std::string_view text, std::string_view host);
    void TakeSetCookie2(std::string_view text, std::string_view host);

    // The most bytes of one request's Cookie header value.
    static constexpr std::size_t kMaxCookieHeaderBytes = 64 * 1024;

    // The Cookie header value for a request to uri (empty when no cookie fits); secure
    // tells whether the connection is a secure one.  Expired cookies are dropped first.
    // The cookies that would make the value longer than kMaxCookieHeaderBytes, and all
    // that would come after them, are left out of it.
    std::string CookieHeaderFor(const TIdURI& uri, bool secure);

    // Discards every cookie whose expiry has passed.
    void PurgeExpired();

    TIdCookies& CookieStore() { return *cookieStore_; }

    // A registered client is told when this manager is destroyed, until it unregisters.
    void RegisterClient(TIdCookieManagerClient& client);
    void UnregisterClient(TIdCookieManagerClient& client);

    TOnManagerEvent OnCreate;
    TOnManagerEvent OnDestroy;
    TOnNewCookieEvent OnNewCookie;

private:
    void AdmitCookie(TIdCookieRFC2109* cookie, std::string_view text, std::string_view host);
    void StoreCookie(TIdCookieRFC2109* cookie);
    bool FireNewCookie(TIdCookieRFC2109& cookie);

    std::unique_ptr<TIdCookies> cookieStore_;
    std::mutex clientsLock_;
    std::vector<TIdCookieManagerClient*> clients_; // not owned
};
