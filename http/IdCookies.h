#pragma once

#include "http/IdCookieList.h"
#include "http/IdCookieRFC2109.h"
#include "http/IdReadWriteLock.h"

#include <cstddef>
#include <iterator>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

// The cookie store: owns every cookie object created for it, and indexes the stored ones by
// domain and then by name.  The index and the members are guarded by StoreLock(), a
// readers-writer lock whose write side its holder may take again.
//
// The store is bounded as browsers bound theirs: a domain keeps its newest cookies up to
// kMaxCookiesPerDomain, the store its newest up to kMaxCookies; a cookie stored beyond a
// bound pushes out the oldest, first of its domain, then of the whole store.
class TIdCookies {
public:
    // A domain's cookies by name, oldest first; the objects belong to the store.
    using TDomainCookies = TIdCookieList<TIdCookieRFC2109*>;
    // Domain texts to their cookies, in the order the domains came; a list that loses its
    // last cookie goes.
    using TDomainIndex = TIdCookieList<std::unique_ptr<TDomainCookies>>;

    static constexpr std::size_t kMaxCookiesPerDomain = 50;
    static constexpr std::size_t kMaxCookies = 3000;
    // The most bytes of name and value that one cookie may have.
    static constexpr std::size_t kMaxCookieBytes = 4096;

    TIdCookies() = default;
    TIdCookies(const TIdCookies&) = delete;
    TIdCookies& operator=(const TIdCookies&) = delete;

    // Creates a cookie object as a member of the store, not yet indexed.
    template <typename Cookie> Cookie* Add() {
        auto cookie = std::make_unique<Cookie>();
        Cookie* added = cookie.get();
        std::unique_lock writing(storeLock_);
        fresh_.push_back(std::move(cookie));
        members_.emplace(added, TMembership{std::prev(fresh_.end())});
        return added;
    }

    // Indexes a member under its domain and name.  When the domain already lists a cookie of
    // that name, the listed one takes the member's attributes and keeps its place, and the
    // member is discarded, also when taking over its attributes raises.
    void Store(TIdCookieRFC2109* cookie);

    // Removes the cookie from the list it is indexed in, if any, and frees it.
    void Discard(TIdCookieRFC2109* cookie);

    // The number of cookie objects in the store.
    std::size_t Count();

    TIdReadWriteLock& StoreLock() { return storeLock_; }
    // Read it only under StoreLock() for reading; it changes only through the store.
    const TDomainIndex& DomainIndex() const { return domainIndex_; }

private:
    using TMembers = std::list<std::unique_ptr<TIdCookieRFC2109>>;
    struct TMembership {
        TMembers::iterator Place; // in fresh_ or in stored_
        // The domain list the cookie is in; null while fresh.  A replacement may change the
        // cookie's own domain text, so that cannot find the list again.
        TDomainCookies* Domain = nullptr;
    };

    // The domain's list, appending a new one to the index when it has none.
    TDomainCookies& DomainListFor(const std::string& domain);
    // Takes an emptied list out of the index, keeping the order of the others.
    void RemoveDomainList(const TDomainCookies& domainCookies);
    void PushOutBeyondTheBounds(TDomainCookies& domainCookies);

    TMembers fresh_;  // created, not indexed yet
    TMembers stored_; // indexed, oldest first
    std::unordered_map<const TIdCookieRFC2109*, TMembership> members_;
    TDomainIndex domainIndex_;
    // Domain texts with ASCII letters in lower case, to their list in the index.
    std::unordered_map<std::string, TDomainCookies*> domainLists_;
    TIdReadWriteLock storeLock_;
};
