#pragma once

#include "watch/PageFetcher.h"

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

// Serves pages from a map; any other URL fails as a refused connection would.
class TFakePageFetcher : public watch::IPageFetcher {
public:
    std::map<std::string, std::string> Pages;
    // Every URL asked for, in order, with the Cache-Control value in force at the time.
    std::vector<std::string> Requested;
    std::vector<std::string> CacheControlAtGet;

    void SetCacheControl(const std::string& value) override { cacheControl_ = value; }

    std::string Get(const std::string& url) override {
        Requested.push_back(url);
        CacheControlAtGet.push_back(cacheControl_);
        auto page = Pages.find(url);
        if (page == Pages.end())
            throw std::runtime_error("Socket Error # 10061\r\nConnection refused.");
        return page->second;
    }

    // The pages are known by their full text, so every link is taken as it stands.
    std::string AbsoluteURL(const std::string& link) const override { return link; }

private:
    std::string cacheControl_;
};
