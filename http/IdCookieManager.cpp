#include "http/IdCookieManager.h"

#include "http/IdCookieRFC2965.h"
#include "http/IdGlobal.h"
#include "http/IdInternetDate.h"
#include "http/IdURI.h"

#include <algorithm>
#include <mutex>
#include <shared_mutex>

namespace {

// Whether the cookies stored under a domain key go to host: the host is the key, or ends
// with it at a label boundary (the key begins with "." or the host has a "." before it).
// A host that merely contains the key, such as key.attacker.net, gets nothing.
bool DomainMatches(std::string_view key, std::string_view host) {
    if (key.empty()) {
        return false;
    }
    if (SameText(host, key)) {
        return true;
    }
    if (host.size() <= key.size() || !SameText(host.substr(host.size() - key.size()), key)) {
        return false;
    }
    return key.front() == '.' || host[host.size() - key.size() - 1] == '.';
}

bool HoldsControlBytes(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char byte) {
        return static_cast<unsigned char>(byte) < 0x20 || byte == '\x7F';
    });
}

// A cookie goes back into request heads as it came: a control byte in it could end the
// header line and start another.
bool FitsARequestHead(const TIdCookieRFC2109& cookie) {
    return !HoldsControlBytes(cookie.CookieName) && !HoldsControlBytes(cookie.Value);
}

bool Expired(const TIdCookieRFC2109& cookie, TDateTime now) {
    return !cookie.Expires.empty() && now > InternetDateToLocal(cookie.Expires);
}

} // namespace

TIdCookieManager::TIdCookieManager(TOnManagerEvent onCreate)
    : OnCreate(std::move(onCreate)), cookieStore_(std::make_unique<TIdCookies>()) {
    if (OnCreate) {
        OnCreate(*this, *cookieStore_);
    }
}

TIdCookieManager::~TIdCookieManager() {
    PurgeExpired();
    if (OnDestroy) {
        OnDestroy(*this, *cookieStore_);
    }
    std::vector<TIdCookieManagerClient*> clients;
    {
        std::lock_guard guard(clientsLock_);
        clients.swap(clients_);
    }
    for (TIdCookieManagerClient* client : clients) {
        client->CookieManagerDestroyed(*this);
    }
}

void TIdCookieManager::RegisterClient(TIdCookieManagerClient& client) {
    std::lock_guard guard(clientsLock_);
    clients_.push_back(&client);
}

void TIdCookieManager::UnregisterClient(TIdCookieManagerClient& client) {
    std::lock_guard guard(clientsLock_);
    const auto registered = std::find(clients_.begin(), clients_.end(), &client);
    if (registered != clients_.end()) {
        clients_.erase(registered);
    }
}

void TIdCookieManager::TakeSetCookie(std::string_view text, std::string_view host) {
    AdmitCookie(cookieStore_->Add<TIdCookieRFC2109>(), text, host);
}

void TIdCookieManager::TakeSetCookie2(std::string_view text, std::string_view host) {
    AdmitCookie(cookieStore_->Add<TIdCookieRFC2965>(), text, host);
}

// A new cookie that is unfit for a request head, refused, rejected by OnNewCookie or
// unreadable leaves the store as it was.
void TIdCookieManager::AdmitCookie(TIdCookieRFC2109* cookie, std::string_view text,
                                   std::string_view host) {
    bool admitted = false;
    try {
        cookie->ParseCookieText(text);
        if (cookie->Domain.empty()) {
            cookie->Domain = host;
        }
        admitted =
            FitsARequestHead(*cookie) && cookie->AcceptableFor(host) && FireNewCookie(*cookie);
    } catch (...) {
        cookieStore_->Discard(cookie);
        throw;
    }
    if (admitted) {
        StoreCookie(cookie);
    } else {
        cookieStore_->Discard(cookie);
    }
}

bool TIdCookieManager::FireNewCookie(TIdCookieRFC2109& cookie) {
    bool accept = true;
    if (OnNewCookie) {
        OnNewCookie(*this, cookie, accept);
    }
    return accept;
}

// A cookie of a name already stored for the domain replaces the stored one in place: the
// stored object takes the new attributes and keeps its position.
void TIdCookieManager::StoreCookie(TIdCookieRFC2109* cookie) {
    std::unique_lock writing(cookieStore_->StoreLock());
    TIdCookies::TDomainIndex& index = cookieStore_->DomainIndex();
    std::size_t domain = index.IndexOf(cookie->Domain);
    if (domain == TIdCookies::TDomainIndex::npos) {
        index.Add(cookie->Domain, std::make_unique<TIdCookies::TDomainCookies>());
        domain = index.Count() - 1;
    }
    TIdCookies::TDomainCookies& cookies = *index.ObjectAt(domain);
    const std::size_t stored = cookies.IndexOf(cookie->CookieName);
    if (stored == TIdCookies::TDomainCookies::npos) {
        cookies.Add(cookie->CookieName, cookie);
        return;
    }
    cookies.ObjectAt(stored)->Assign(*cookie);
    cookieStore_->Discard(cookie);
}

void TIdCookieManager::PurgeExpired() {
    std::unique_lock writing(cookieStore_->StoreLock());
    const TDateTime now = Now();
    TIdCookies::TDomainIndex& index = cookieStore_->DomainIndex();
    for (std::size_t domain = 0; domain < index.Count(); ++domain) {
        TIdCookies::TDomainCookies& cookies = *index.ObjectAt(domain);
        for (std::size_t position = cookies.Count(); position-- > 0;) {
            TIdCookieRFC2109* cookie = cookies.ObjectAt(position);
            if (Expired(*cookie, now)) {
                // Removed by position: a replacement may have changed the cookie's domain
                // text (a trailing blank does not survive), so its key cannot be trusted.
                cookies.Delete(position);
                cookieStore_->Discard(cookie);
            }
        }
    }
}

// Servers see the order: cookies are gathered domain by domain, each domain's from its last
// to its first, into a list sorted by path that is then read from its end.
std::string TIdCookieManager::CookieHeaderFor(const TIdURI& uri, bool secure) {
    PurgeExpired();
    std::shared_lock reading(cookieStore_->StoreLock());
    const TIdCookies::TDomainIndex& index = cookieStore_->DomainIndex();
    TIdCookieList<const TIdCookieRFC2109*> selection(true);
    for (std::size_t domain = 0; domain < index.Count(); ++domain) {
        if (!DomainMatches(index.KeyAt(domain), uri.Host)) {
            continue;
        }
        const TIdCookies::TDomainCookies& cookies = *index.ObjectAt(domain);
        for (std::size_t position = cookies.Count(); position-- > 0;) {
            const TIdCookieRFC2109& cookie = *cookies.ObjectAt(position);
            if (!cookie.Path.empty() && uri.Path.starts_with(cookie.Path) &&
                (!cookie.Secure || secure) && !cookie.Value.empty()) {
                selection.Add(cookie.Path, &cookie);
            }
        }
    }
    std::string header;
    for (std::size_t position = selection.Count(); position-- > 0;) {
        if (!header.empty()) {
            header += "; ";
        }
        header += selection.ObjectAt(position)->ClientPair();
    }
    return header;
}
