#include "http/IdCookies.h"

#include <algorithm>
#include <shared_mutex>

namespace {

// Domain texts that compare equal without regard to ASCII case give the same key.
std::string FoldedKey(std::string_view domain) {
    std::string key(domain);
    std::transform(key.begin(), key.end(), key.begin(), [](char byte) {
        return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
    });
    return key;
}

} // namespace

void TIdCookies::Store(TIdCookieRFC2109* cookie) {
    std::unique_lock writing(storeLock_);
    TDomainCookies& domainCookies = DomainListFor(cookie->Domain);
    const std::size_t listed = domainCookies.IndexOf(cookie->CookieName);
    if (listed != TDomainCookies::npos) {
        // Taking over the attributes reads the member's Set-Cookie form, which may hold a bad
        // port list; the member goes either way.
        try {
            domainCookies.ObjectAt(listed)->Assign(*cookie);
        } catch (...) {
            Discard(cookie);
            throw;
        }
        Discard(cookie);
        return;
    }
    domainCookies.Add(cookie->CookieName, cookie);
    TMembership& membership = members_.at(cookie);
    membership.Domain = &domainCookies;
    stored_.splice(stored_.end(), fresh_, membership.Place);
    PushOutBeyondTheBounds(domainCookies);
}

void TIdCookies::PushOutBeyondTheBounds(TDomainCookies& domainCookies) {
    if (domainCookies.Count() > kMaxCookiesPerDomain) {
        Discard(domainCookies.ObjectAt(0));
    }
    if (stored_.size() > kMaxCookies) {
        Discard(stored_.front().get());
    }
}

void TIdCookies::Discard(TIdCookieRFC2109* cookie) {
    std::unique_lock writing(storeLock_);
    const auto member = members_.find(cookie);
    if (member == members_.end()) {
        return;
    }
    const TMembership membership = member->second;
    members_.erase(member);
    if (membership.Domain == nullptr) {
        fresh_.erase(membership.Place);
        return;
    }
    TDomainCookies& domainCookies = *membership.Domain;
    for (std::size_t position = domainCookies.Count(); position-- > 0;) {
        if (domainCookies.ObjectAt(position) == cookie) {
            domainCookies.Delete(position);
            break;
        }
    }
    stored_.erase(membership.Place);
    if (domainCookies.Count() == 0) {
        RemoveDomainList(domainCookies);
    }
}

std::size_t TIdCookies::Count() {
    std::shared_lock reading(storeLock_);
    return members_.size();
}

TIdCookies::TDomainCookies& TIdCookies::DomainListFor(const std::string& domain) {
    const auto [found, added] = domainLists_.try_emplace(FoldedKey(domain), nullptr);
    if (added) {
        auto list = std::make_unique<TDomainCookies>();
        found->second = list.get();
        domainIndex_.Add(domain, std::move(list));
    }
    return *found->second;
}

void TIdCookies::RemoveDomainList(const TDomainCookies& domainCookies) {
    for (std::size_t position = domainIndex_.Count(); position-- > 0;) {
        if (domainIndex_.ObjectAt(position).get() == &domainCookies) {
            domainLists_.erase(FoldedKey(domainIndex_.KeyAt(position)));
            domainIndex_.Delete(position);
            return;
        }
    }
}
