#include "http/IdCookies.h"

#include <algorithm>
#include <shared_mutex>

void TIdCookies::Discard(TIdCookieRFC2109* cookie) {
    std::unique_lock writing(storeLock_);
    const std::size_t domain = domainIndex_.IndexOf(cookie->Domain);
    if (domain != TDomainIndex::npos) {
        TDomainCookies& cookies = *domainIndex_.ObjectAt(domain);
        for (std::size_t position = cookies.Count(); position-- > 0;) {
            if (cookies.ObjectAt(position) == cookie) {
                cookies.Delete(position);
                break;
            }
        }
    }
    // New objects sit at the end, and they are the ones discarded most often.
    const auto member = std::find_if(collection_.rbegin(), collection_.rend(),
                                     [cookie](const auto& owned) { return owned.get() == cookie; });
    if (member != collection_.rend()) {
        collection_.erase(std::next(member).base());
    }
}

std::size_t TIdCookies::Count() {
    std::shared_lock reading(storeLock_);
    return collection_.size();
}
