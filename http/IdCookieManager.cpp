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
// header line and start another, and its size is bounded as browsers bound it.
bool FitsARequestHead(const TIdCookieRFC2109& cookie) {
    return !HoldsControlBytes(cookie.CookieName) && !HoldsControlBytes(cookie.Value) &&
           cookie.CookieName.size() + cookie.Value.size() <= TIdCookies::kMaxCookieBytes;
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

void TIdCookieManager::StoreCookie(TIdCookieRFC2109* cookie) {
    cookieStore_->Store(cookie);
}

void TIdCookieManager::PurgeExpired() {
    std::unique_lock writing(cookieStore_->StoreLock());
    const TDateTime now = Now();
    const TIdCookies::TDomainIndex& index = cookieStore_->DomainIndex();
    // Gathered first: a discard may take an emptied domain list out of the index.
    std::vector<TIdCookieRFC2109*> expired;
    for (std::size_t domain = 0; domain < index.Count(); ++domain) {
        const TIdCookies::TDomainCookies& cookies = *index.ObjectAt(domain);
        for (std::size_t position = cookies.Count(); position-- > 0;) {
            if (Expired(*cookies.ObjectAt(position), now)) {
                expired.push_back(cookies.ObjectAt(position));
            }
        }
    }
    for (TIdCookieRFC2109* cookie : expired) {
        cookieStore_->Discard(cookie);
    }
}

// Servers see the order: cookies are gathered domain by domain, each domain's from its last
// to its first, and written by path from the greatest (compared without regard to case),
// cookies of equal paths in the order they were gathered.
std::string TIdCookieManager::CookieHeaderFor(const TIdURI& uri, bool secure) {
    PurgeExpired();
    std::shared_lock reading(cookieStore_->StoreLock());
    const TIdCookies::TDomainIndex& index = cookieStore_->DomainIndex();
    std::vector<const TIdCookieRFC2109*> selection;
    for (std::size_t domain = 0; domain < index.Count(); ++domain) {
        if (!DomainMatches(index.KeyAt(domain), uri.Host)) {
            continue;
        }
        const TIdCookies::TDomainCookies& cookies = *index.ObjectAt(domain);
        for (std::size_t position = cookies.Count(); position-- > 0;) {
            const TIdCookieRFC2109& cookie = *cookies.ObjectAt(position);
            if (!cookie.Path.empty() && uri.Path.starts_with(cookie.Path) &&
                (!cookie.Secure || secure) && !cookie.Value.empty()) {
                selection.push_back(&cookie);
            }
        }
    }
    std::stable_sort(selection.begin(), selection.end(),
                     [](const TIdCookieRFC2109* a, const TIdCookieRFC2109* b) {
                         return CompareText(a->Path, b->Path) > 0;
                     });
    std::string header;
    for (const TIdCookieRFC2109* cookie : selection) {
        const std::string pair = cookie->ClientPair();
        const std::size_t separator = header.empty() ? 0 : 2;
        // The rest stay stored: only this request goes without them.
        if (header.size() + separator + pair.size() > kMaxCookieHeaderBytes) {
            break;
        }
        if (separator != 0) {
            header += "; ";
        }
        header += pair;
    }
    return header;
}
