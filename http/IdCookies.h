#pragma once

#include "http/IdCookieList.h"
#include "http/IdCookieRFC2109.h"
#include "http/IdReadWriteLock.h"

#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

// The cookie store: owns every cookie object created for it, and indexes the stored ones by
// domain and then by name.  The index and the members are guarded by StoreLock(), a
// readers-writer lock whose write side its holder may take again.
class TIdCookies {
public:
    // A domain's cookies by name; the objects belong to the store.
    using TDomainCookies = TIdCookieList<TIdCookieRFC2109*>;
    // Domain texts to their cookies; per-domain lists stay once created.
    using TDomainIndex = TIdCookieList<std::unique_ptr<TDomainCookies>>;

    TIdCookies() = default;
    TIdCookies(const TIdCookies&) = delete;
    TIdCookies& operator=(const TIdCookies&) = delete;

    // Creates a cookie object as a member of the store, not yet indexed.
    template <typename Cookie> Cookie* Add() {
        auto cookie = std::make_unique<Cookie>();
        Cookie* added = cookie.get();
        std::unique_lock writing(storeLock_);
        collection_.push_back(std::move(cookie));
        return added;
    }

    // Removes the cookie from its domain's list, if it is there, and frees it.
    void Discard(TIdCookieRFC2109* cookie);

    // The number of cookie objects in the store.
    std::size_t Count();

    TIdReadWriteLock& StoreLock() { return storeLock_; }
    // Read it only under StoreLock() for reading, change it only under StoreLock() for writing.
    TDomainIndex& DomainIndex() { return domainIndex_; }

private:
    std::vector<std::unique_ptr<TIdCookieRFC2109>> collection_;
    TDomainIndex domainIndex_;
    TIdReadWriteLock storeLock_;
};
